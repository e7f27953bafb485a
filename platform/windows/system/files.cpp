// Whole-or-nothing file writes on CreateFileW / WriteFile (a temporary file beside the target,
// then MoveFileExW over it) and the run directory from GetModuleFileNameW.
#include "platform/windows/win32.h"

#include "platform/system/files.h"

#include <atomic>
#include <cstdint>
#include <limits>

#include "platform/windows/system/wide_path.h"

namespace lumeno::platform {
namespace {

// Owns a file handle and closes it once.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() { Close(); }

    HANDLE Get() const { return handle_; }
    bool Close() {
        if (handle_ == INVALID_HANDLE_VALUE) return true;
        const BOOL closed = ::CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return closed != FALSE;
    }

private:
    HANDLE handle_;
};

bool WriteAll(HANDLE file, const FilePart& part) {
    const auto* p = static_cast<const std::uint8_t*>(part.data);
    std::size_t left = part.size;
    while (left > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(left, 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file, p, chunk, &written, nullptr) || written == 0) return false;
        p += written;
        left -= written;
    }
    return true;
}

// A name beside the target that no other writer in this process or another one uses.
std::wstring TemporaryName(const std::wstring& target) {
    static std::atomic<unsigned> counter{0};
    return target + L".part-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter);
}

}  // namespace

bool WriteWholeFile(const std::string& utf8Path, std::span<const FilePart> parts) {
    if (utf8Path.empty() || utf8Path.back() == '/' || utf8Path.back() == '\\') return false;
    const std::wstring target = win32::WidePath(utf8Path);
    if (target.empty()) return false;

    std::wstring temporary;
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 8 && handle == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = TemporaryName(target);
        handle = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0 /* no sharing */, nullptr,
                               CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    if (handle == INVALID_HANDLE_VALUE) return false;
    FileHandle file(handle);

    bool ok = true;
    for (const FilePart& part : parts) {
        if (part.size > 0 && !WriteAll(file.Get(), part)) {
            ok = false;
            break;
        }
    }
    ok = file.Close() && ok;
    if (ok && ::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        return true;
    }
    ::DeleteFileW(temporary.c_str());
    return false;
}

std::string ExecutableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        // A full buffer means the path was cut: try again with more room.
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
    const std::size_t separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos) return {};
    path.resize(separator);
    return win32::Utf8Path(path);
}

}  // namespace lumeno::platform
