// The XDG pictures folder read from the text of a user-dirs.dirs file.
#pragma once

#include <string>

namespace lumeno::platform {

// The folder XDG_PICTURES_DIR names in `userDirs` (the text of user-dirs.dirs): a quoted value
// that is "$HOME/..." or an absolute path, with backslash escapes. "$HOME/Pictures" under
// `home` when the line is missing or unusable. Never ends in "/" (the home folder itself
// comes back as `home`).
std::string XdgPicturesFolder(const std::string& userDirs, const std::string& home);

}  // namespace lumeno::platform
