// File services: the logic's Windows-style paths mapped to POSIX paths, whole-or-nothing file
// writes and the run directory.
#include "util/runtime_services.h"

#include "platform/codepage/codepage.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace lumeno {

std::string NativePath(const Text& path) {
    // Convert first: a GBK pair may have 0x5C as its second byte, UTF-8 never does.
    std::string native = platform::GbkToUtf8(path);
    for (char& c : native) {
        if (c == '\\') c = '/';
    }
    return native;
}

namespace {

// Owns a file descriptor and closes it once.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { Close(); }

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
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

bool WriteAll(int fd, const ByteSet& bytes) {
    const std::uint8_t* p = bytes.data();
    std::size_t left = bytes.size();
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

bool WriteFileParts(const Text& fileName, std::span<const ByteSet* const> parts) {
    if (fileName.empty()) return false;
    const std::string target = NativePath(fileName);
    if (target.back() == '/') return false;  // a folder, not a file

    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 8 && fd < 0; ++attempt) {
        temporary = TemporaryName(target);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return false;  // e.g. the folder does not exist
    }
    if (fd < 0) return false;
    FileDescriptor file(fd);

    bool ok = true;
    for (const ByteSet* part : parts) {
        if (part != nullptr && !part->empty() && !WriteAll(file.Get(), *part)) {
            ok = false;
            break;
        }
    }
    ok = file.Close() && ok;
    if (ok && ::rename(temporary.c_str(), target.c_str()) == 0) return true;
    ::unlink(temporary.c_str());
    return false;
}

Text RunDirectory() {
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
    return platform::Utf8ToGbk(path);
}

}  // namespace lumeno
