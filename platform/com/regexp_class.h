// The "VBScript.RegExp" class and the collections its Execute returns.
#pragma once

#include "platform/com/dispatch.h"

namespace lumeno::platform {

inline constexpr const char* kRegExpProgId = "VBScript.RegExp";
inline constexpr const char* kRegExpClsid = "{3F4DACA4-160D-11D2-A8E9-00104B365C9F}";

// A fresh regular-expression object: Pattern "", IgnoreCase, Global and Multiline false.
DispatchPtr MakeRegExpObject();

// The error an Execute, Replace or Test reports for a pattern that does not compile.
inline constexpr HRESULT kRegexSyntaxError = MakeFailure(0x800A139Au);

}  // namespace lumeno::platform
