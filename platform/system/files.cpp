// Whole-or-nothing file writes on POSIX descriptors (temporary file + rename) and the run
// directory from /proc/self/exe.
#include "platform/system/files.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <unistd.h>

namespace lumeno::platform {
namespace {

// Owns a file descriptor and closes it once.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { Close(); }

    int Get() const { return fd_; }
    // True when the descriptor was closed without error (a delayed write error shows here).
    bool Close() {
        if (fd_ < 0) return true;
        const int rc = ::close(fd_);
        fd_ = -1;
        return rc == 0;
    }

private:
    int fd_;
};

bool WriteAll(int fd, const FilePart& part) {
    const auto* p = static_cast<const std::uint8_t*>(part.data);
    std::size_t left = part.size;
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

// A name beside the target that no other writer in this process or another one uses.
std::string TemporaryName(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    return target + ".part-" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
}

}  // namespace

bool WriteWholeFile(const std::string& utf8Path, std::span<const FilePart> parts) {
    if (utf8Path.empty() || utf8Path.back() == '/') return false;  // a folder, not a file

    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 8 && fd < 0; ++attempt) {
        temporary = TemporaryName(utf8Path);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return false;  // e.g. the folder does not exist
    }
    if (fd < 0) return false;
    FileDescriptor file(fd);

    bool ok = true;
    for (const FilePart& part : parts) {
        if (part.size > 0 && !WriteAll(file.Get(), part)) {
            ok = false;
            break;
        }
    }
    ok = file.Close() && ok;
    if (ok && ::rename(temporary.c_str(), utf8Path.c_str()) == 0) return true;
    ::unlink(temporary.c_str());
    return false;
}

std::string ExecutableFolder() {
    std::string path(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
        if (n < 0) return {};
        if (static_cast<std::size_t>(n) < path.size()) {
            path.resize(static_cast<std::size_t>(n));
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    path.resize(slash);  // the root folder becomes the empty text: no trailing separator
    return path;
}

}  // namespace lumeno::platform
