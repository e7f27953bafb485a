// Folders: whole-path creation in the shape of the platform's MakeSureDirectoryPathExists, the
// check that files can be made in a folder, and the user's pictures folder.
#pragma once

#include <string>

namespace lumeno::platform {

// Creates every missing folder of `utf8Path` up to its last "/"; what follows the last "/" is
// a file name and is not created. True when all those folders exist afterwards (also when
// there was nothing to create), false when one could not be made, for example because a file
// of that name is in the way.
bool MakeSureDirectoryPathExists(const std::string& utf8Path);

// True when a new file can be created in the folder `utf8Folder` (a trailing separator is
// allowed): a uniquely named empty file is made there and removed again at once. Asking the
// file system itself answers rightly for read-only mounts and shares, access lists and an
// administrator alike, where permission bits would not.
bool CanCreateFilesIn(const std::string& utf8Folder);

// The user's pictures folder, UTF-8, without a trailing separator; empty when there is none.
// Linux: XDG_PICTURES_DIR of the user's user-dirs.dirs, else ~/Pictures. Windows: the known
// folder for pictures.
std::string UserPicturesFolder();

}  // namespace lumeno::platform
