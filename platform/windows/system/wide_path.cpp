// UTF-8 <-> UTF-16 paths on Kernel32.
#include "platform/windows/win32.h"

#include "platform/windows/system/wide_path.h"

#include <limits>

namespace lumeno::platform::win32 {

std::wstring WidePath(std::string_view utf8Path) {
    if (utf8Path.empty() || utf8Path.size() >= std::numeric_limits<int>::max() / 4) return {};
    const int length = static_cast<int>(utf8Path.size());
    const int units =
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8Path.data(), length, nullptr, 0);
    if (units <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8Path.data(), length, wide.data(),
                          units);
    for (wchar_t& c : wide) {
        if (c == L'/') c = L'\\';
    }
    return wide;
}

std::string Utf8Path(std::wstring_view widePath) {
    if (widePath.empty() || widePath.size() >= std::numeric_limits<int>::max() / 4) return {};
    const int length = static_cast<int>(widePath.size());
    const int bytes =
        ::WideCharToMultiByte(CP_UTF8, 0, widePath.data(), length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string text(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, widePath.data(), length, text.data(), bytes, nullptr,
                          nullptr);
    return text;
}

}  // namespace lumeno::platform::win32
