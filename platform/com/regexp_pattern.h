// Translation of a pattern in the scripting regular-expression dialect (ECMAScript 3 as the
// scripting engine had it) into PCRE2 syntax for the 16-bit library without UTF mode.
#pragma once

#include <optional>
#include <string>

namespace lumeno::platform {

// The PCRE2 pattern for `pattern`, or nothing when the dialect rejects it (a group kind it does
// not know, such as look-behind or named groups). Multiline turns ^ and $ into line anchors
// that see both CR and LF; without it ^ and $ anchor at the subject's ends (the caller compiles
// with DOLLAR_ENDONLY). Escapes the dialect does not know stand for the character itself.
std::optional<std::u16string> TranslatePattern(const std::u16string& pattern, bool multiline);

}  // namespace lumeno::platform
