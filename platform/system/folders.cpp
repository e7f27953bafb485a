// Whole-path folder creation on std::filesystem, reported as a result, never as an exception.
#include "platform/system/folders.h"

#include <filesystem>
#include <system_error>

namespace lumeno::platform {

bool MakeSureDirectoryPathExists(const std::string& utf8Path) {
    const std::size_t lastSeparator = utf8Path.rfind('/');
    if (lastSeparator == std::string::npos) return true;  // a bare file name: no folder to make
    const std::string folder = utf8Path.substr(0, lastSeparator);
    if (folder.empty()) return true;  // the root folder
    // The path is UTF-8 text; u8path keeps it that way whatever the locale says.
    const std::filesystem::path path(std::u8string(folder.begin(), folder.end()));
    std::error_code error;
    std::filesystem::create_directories(path, error);
    // create_directories reports no error for a path that already exists as a folder, and an
    // error when a file is in the way; look again so that both cases are answered alike.
    return std::filesystem::is_directory(path, error);
}

}  // namespace lumeno::platform
