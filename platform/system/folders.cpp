// Whole-path folder creation on std::filesystem, reported as a result, never as an exception;
// the can-create-files check on POSIX open/unlink.
#include "platform/system/folders.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <system_error>
#include <unistd.h>

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

bool CanCreateFilesIn(const std::string& utf8Folder) {
    if (utf8Folder.empty()) return false;
    const std::string folder = utf8Folder.back() == '/' ? utf8Folder : utf8Folder + "/";
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 8; ++attempt) {
        const std::string probe =
            folder + ".write-check-" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
        const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            ::unlink(probe.c_str());
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

}  // namespace lumeno::platform
