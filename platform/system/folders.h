// Folder creation for a whole path, in the shape of the platform's MakeSureDirectoryPathExists.
#pragma once

#include <string>

namespace lumeno::platform {

// Creates every missing folder of `utf8Path` up to its last "/"; what follows the last "/" is
// a file name and is not created. True when all those folders exist afterwards (also when
// there was nothing to create), false when one could not be made, for example because a file
// of that name is in the way.
bool MakeSureDirectoryPathExists(const std::string& utf8Path);

}  // namespace lumeno::platform
