// Whole-or-nothing file writes and the folder of the running executable, on the platform's own
// file functions. Paths are UTF-8 with "/" separators (Windows takes "\" as well).
#pragma once

#include <cstddef>
#include <span>
#include <string>

namespace lumeno::platform {

// One run of bytes to write.
struct FilePart {
    const void* data = nullptr;
    std::size_t size = 0;
};

// Writes the parts in order into the file, whole or not at all: the data goes to a temporary
// file in the same folder, opened for writing with no sharing, that replaces the target only
// after every byte was written. False, with nothing left behind, for an empty name, a name
// ending in a separator, a missing folder or a failed write. Missing folders are not created.
bool WriteWholeFile(const std::string& utf8Path, std::span<const FilePart> parts);

// The folder that holds the running executable, without a trailing separator (the root folder
// gives the empty text); empty when it cannot be found.
std::string ExecutableFolder();

}  // namespace lumeno::platform
