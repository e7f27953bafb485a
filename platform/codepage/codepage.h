// Code page 936 (GBK) <-> UTF-16LE and UTF-8 on iconv, with the shapes of the platform's
// MultiByteToWideChar / WideCharToMultiByte. Invalid input never crashes or reads past its end:
// an undecodable GBK byte becomes '?', a character GBK cannot hold becomes "?".
#pragma once

#include <string>
#include <string_view>

namespace lumeno::platform {

inline constexpr unsigned kCodePageGbk = 936;
inline constexpr unsigned kWcCompositeCheck = 0x200;

// Converts `multiByteLength` bytes (-1: up to and including the terminating zero) from code
// page 936 into `wide`. With wideLength 0 returns the units needed; 0 on failure (unknown code
// page, buffer too small).
int MultiByteToWideChar(unsigned codePage, unsigned flags, const char* multiByte,
                        int multiByteLength, char16_t* wide, int wideLength);

// Converts `wideLength` units (-1: up to and including the terminating zero) into code page 936.
// With multiByteLength 0 returns the bytes needed. With kWcCompositeCheck a letter followed by a
// combining mark becomes the precomposed letter where GBK holds one (the pinyin letters); other
// marks stay separate characters. Only a null default character is supported:
// a character GBK cannot hold becomes '?' and *usedDefaultChar (when given) is set.
int WideCharToMultiByte(unsigned codePage, unsigned flags, const char16_t* wide, int wideLength,
                        char* multiByte, int multiByteLength, const char* defaultChar,
                        bool* usedDefaultChar);

// True when two UTF-16 strings are equal with ASCII letters compared without regard to case
// (the comparison of scheme names, keywords and member names).
bool EqualsAsciiIgnoreCase(std::u16string_view a, std::u16string_view b);

// An ASCII capital as its small letter; every other byte as it is.
inline char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

// The same comparison for byte strings (header, charset and member names). Inline: dispatch
// and header handling try it against one name after another.
inline bool EqualsAsciiIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

// Whole-string forms.
std::u16string GbkToUtf16(std::string_view gbk);
std::string Utf16ToGbk(std::u16string_view wide);
std::string GbkToUtf8(std::string_view gbk);
std::string Utf8ToGbk(std::string_view utf8);

}  // namespace lumeno::platform
