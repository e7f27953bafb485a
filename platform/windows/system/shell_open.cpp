// ShellExecuteW "open", with the target as UTF-16 (addresses keep their "/").
#include "platform/windows/win32.h"

#include "platform/windows/system/shell_open.h"

#include <limits>

namespace lumeno::platform {

bool ShellOpen(const std::string& utf8Target) {
    if (utf8Target.empty() || utf8Target.size() >= std::numeric_limits<int>::max() / 4) {
        return false;
    }
    const int length = static_cast<int>(utf8Target.size());
    const int units = ::MultiByteToWideChar(CP_UTF8, 0, utf8Target.data(), length, nullptr, 0);
    if (units <= 0) return false;
    std::wstring target(static_cast<std::size_t>(units), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8Target.data(), length, target.data(), units);
    // Values above 32 mean success.
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

}  // namespace lumeno::platform
