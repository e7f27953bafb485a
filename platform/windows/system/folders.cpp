// Whole-path folder creation through MakeSureDirectoryPathExists, bound by name from
// "dbghelp.dll". That function takes only an ANSI path, so it gets the path only when every
// character survives the ANSI code page unchanged (a Chinese Windows and "Lumeno图片 1080P", or
// any ASCII path); otherwise, or when dbghelp cannot be loaded, the folders are made one by one
// with CreateDirectoryW, so the name is right on a Windows of any system locale. The
// can-create-files check makes a file that the system deletes when its handle closes.
#include "platform/windows/win32.h"

#include "platform/system/folders.h"

#include <atomic>
#include <mutex>
#include <string>

#include "platform/windows/system/wide_path.h"

namespace lumeno::platform {
namespace {

using MakeSureDirectoryPathExistsFn = BOOL(WINAPI*)(PCSTR);

MakeSureDirectoryPathExistsFn BoundFunction() {
    static MakeSureDirectoryPathExistsFn function = [] {
        HMODULE module = ::LoadLibraryW(L"dbghelp.dll");
        return module == nullptr
                   ? nullptr
                   : reinterpret_cast<MakeSureDirectoryPathExistsFn>(reinterpret_cast<void*>(
                         ::GetProcAddress(module, "MakeSureDirectoryPathExists")));
    }();
    return function;
}

// dbghelp's functions are not thread-safe; calls are serialised.
std::mutex& DbghelpMutex() {
    static std::mutex mutex;
    return mutex;
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The path in the ANSI code page when it converts there and back without loss; empty otherwise.
std::string ExactAnsi(const std::wstring& wide) {
    const int length = static_cast<int>(wide.size());
    BOOL usedDefault = FALSE;
    const int bytes = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length,
                                            nullptr, 0, nullptr, &usedDefault);
    if (bytes <= 0 || usedDefault) return {};
    std::string ansi(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, ansi.data(), bytes,
                          nullptr, &usedDefault);
    if (usedDefault) return {};
    std::wstring back(wide.size(), L'\0');
    const int units = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), bytes, back.data(), length);
    return units == length && back == wide ? ansi : std::string();
}

// Creates the folders of `folder` (ending in "\") from the outermost one in.
void CreateEachFolder(const std::wstring& folder) {
    // Skip the root part: "C:\", "\\server\share\" or a leading "\".
    std::size_t start = 0;
    if (folder.size() >= 2 && folder[1] == L':') {
        start = 3;
    } else if (folder.rfind(L"\\\\", 0) == 0) {
        const std::size_t share = folder.find(L'\\', 2);
        start = share == std::wstring::npos ? folder.size() : folder.find(L'\\', share + 1) + 1;
    } else if (!folder.empty() && folder[0] == L'\\') {
        start = 1;
    }
    for (std::size_t end = folder.find(L'\\', start); end != std::wstring::npos;
         end = folder.find(L'\\', end + 1)) {
        if (end == 0 || folder[end - 1] == L'\\') continue;
        const std::wstring part = folder.substr(0, end);
        if (!::CreateDirectoryW(part.c_str(), nullptr) && !IsFolder(part)) return;
    }
}

}  // namespace

bool MakeSureDirectoryPathExists(const std::string& utf8Path) {
    const std::wstring wide = win32::WidePath(utf8Path);
    const std::size_t lastSeparator = wide.rfind(L'\\');
    if (lastSeparator == std::wstring::npos) return true;  // a bare file name: no folder to make
    const std::wstring folder = wide.substr(0, lastSeparator + 1);
    const std::wstring withoutSeparator = folder.substr(0, lastSeparator);
    if (withoutSeparator.empty() || withoutSeparator.back() == L':') return true;  // a root

    const std::string ansi = ExactAnsi(folder);
    if (MakeSureDirectoryPathExistsFn make = BoundFunction(); make != nullptr && !ansi.empty()) {
        std::lock_guard lock(DbghelpMutex());
        make(ansi.c_str());
    }
    if (!IsFolder(withoutSeparator)) CreateEachFolder(folder);
    // Looked at afterwards so that "already there" and "a file is in the way" are answered
    // alike by both ways of making the folders.
    return IsFolder(withoutSeparator);
}

bool CanCreateFilesIn(const std::string& utf8Folder) {
    std::wstring folder = win32::WidePath(utf8Folder);
    if (folder.empty()) return false;
    if (folder.back() != L'\\') folder += L'\\';
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 8; ++attempt) {
        const std::wstring probe = folder + L".write-check-" +
                                   std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                   std::to_wstring(++counter);
        const HANDLE handle =
            ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle);
            return true;
        }
        if (::GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    return false;
}

}  // namespace lumeno::platform
