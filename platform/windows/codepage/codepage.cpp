// Code page 936 conversions on Kernel32's MultiByteToWideChar / WideCharToMultiByte. The code
// page is always named explicitly (936, or 65001 for UTF-8 paths), never the ANSI code page, so
// the program's GBK texts come out right on a Windows of any system locale.
#include "platform/windows/win32.h"

#include "platform/codepage/codepage.h"

#include <limits>

namespace lumeno::platform {
namespace {

constexpr unsigned kCodePageUtf8 = CP_UTF8;

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 strings cross as they are");

wchar_t* Wide(char16_t* text) {
    return reinterpret_cast<wchar_t*>(text);
}
const wchar_t* Wide(const char16_t* text) {
    return reinterpret_cast<const wchar_t*>(text);
}

bool FitsInt(std::size_t size) {
    return size < static_cast<std::size_t>(std::numeric_limits<int>::max() / 4);
}

std::u16string ToUtf16(unsigned codePage, std::string_view text) {
    if (text.empty() || !FitsInt(text.size())) return {};
    const int length = static_cast<int>(text.size());
    const int units = ::MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    if (units <= 0) return {};
    std::u16string wide(static_cast<std::size_t>(units), u'\0');
    const int written =
        ::MultiByteToWideChar(codePage, 0, text.data(), length, Wide(wide.data()), units);
    wide.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return wide;
}

std::string FromUtf16(unsigned codePage, std::u16string_view wide) {
    if (wide.empty() || !FitsInt(wide.size())) return {};
    const int length = static_cast<int>(wide.size());
    const int bytes =
        ::WideCharToMultiByte(codePage, 0, Wide(wide.data()), length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string text(static_cast<std::size_t>(bytes), '\0');
    const int written = ::WideCharToMultiByte(codePage, 0, Wide(wide.data()), length, text.data(),
                                              bytes, nullptr, nullptr);
    text.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return text;
}

}  // namespace

int MultiByteToWideChar(unsigned codePage, unsigned flags, const char* multiByte,
                        int multiByteLength, char16_t* wide, int wideLength) {
    // Same contract on every platform: only code page 936, and no conversion of nothing.
    if (codePage != kCodePageGbk || multiByte == nullptr || multiByteLength == 0 ||
        multiByteLength < -1 || wideLength < 0)
        return 0;
    return ::MultiByteToWideChar(codePage, flags, multiByte, multiByteLength, Wide(wide),
                                 wideLength);
}

int WideCharToMultiByte(unsigned codePage, unsigned flags, const char16_t* wide, int wideLength,
                        char* multiByte, int multiByteLength, const char* defaultChar,
                        bool* usedDefaultChar) {
    if (codePage != kCodePageGbk || wide == nullptr || wideLength == 0 || wideLength < -1 ||
        multiByteLength < 0 || defaultChar != nullptr)
        return 0;
    BOOL usedDefault = FALSE;
    const int result =
        ::WideCharToMultiByte(codePage, flags, Wide(wide), wideLength, multiByte, multiByteLength,
                              nullptr, usedDefaultChar != nullptr ? &usedDefault : nullptr);
    if (usedDefaultChar != nullptr) *usedDefaultChar = usedDefault != FALSE;
    return result;
}

std::u16string GbkToUtf16(std::string_view gbk) {
    return ToUtf16(kCodePageGbk, gbk);
}

std::string Utf16ToGbk(std::u16string_view wide) {
    return FromUtf16(kCodePageGbk, wide);
}

std::string GbkToUtf8(std::string_view gbk) {
    return FromUtf16(kCodePageUtf8, ToUtf16(kCodePageGbk, gbk));
}

std::string Utf8ToGbk(std::string_view utf8) {
    return FromUtf16(kCodePageGbk, ToUtf16(kCodePageUtf8, utf8));
}

}  // namespace lumeno::platform
