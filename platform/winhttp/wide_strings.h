// UTF-16 helpers of the WinHTTP layer: lengths of zero-terminated strings and the conversions
// used at its edges (host names and paths go out as UTF-8, header texts as code page 936).
#pragma once

#include <string>
#include <string_view>

namespace lumeno::platform {

// Characters before the terminating zero; 0 for null.
std::size_t WideLength(const char16_t* text);

// The string, empty for null.
std::u16string_view WideView(const char16_t* text);

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string WideToUtf8(std::u16string_view wide);

}  // namespace lumeno::platform
