// UTF-8 paths of platform/ to and from the UTF-16 paths of the W functions (code page 65001
// named explicitly, never the ANSI code page).
#pragma once

#include <string>
#include <string_view>

namespace lumeno::platform::win32 {

// The path as UTF-16 with every "/" turned into "\"; empty for an empty or undecodable path.
std::wstring WidePath(std::string_view utf8Path);

// UTF-16 back to UTF-8.
std::string Utf8Path(std::wstring_view widePath);

}  // namespace lumeno::platform::win32
