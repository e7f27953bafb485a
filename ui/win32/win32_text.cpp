// GBK <-> UTF-16 through the code page layer (Kernel32's conversions for code page 936).
#include "ui/win32/win32_text.h"

#include "platform/codepage/codepage.h"

namespace lumeno::ui::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide strings are UTF-16");

std::wstring Wide(std::string_view gbk) {
    if (gbk.empty()) return {};
    const std::u16string wide = platform::GbkToUtf16(gbk);
    return std::wstring(reinterpret_cast<const wchar_t*>(wide.data()), wide.size());
}

Text Narrow(std::wstring_view wide) {
    if (wide.empty()) return {};
    return platform::Utf16ToGbk(
        std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

}  // namespace lumeno::ui::win32
