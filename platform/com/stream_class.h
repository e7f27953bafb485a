// The "Adodb.Stream" class: a byte buffer that is written in binary mode and read back as text
// in a chosen character set.
#pragma once

#include "platform/com/dispatch.h"

namespace lumeno::platform {

inline constexpr const char* kStreamProgId = "Adodb.Stream";
inline constexpr const char* kStreamClsid = "{00000566-0000-0010-8000-00AA006D2EA4}";

inline constexpr int kStreamTypeBinary = 1;
inline constexpr int kStreamTypeText = 2;

// Errors of the stream's members, numbered as the data-access library numbers them.
inline constexpr HRESULT kStreamArgumentError = MakeFailure(0x800A0BB9u);  // bad argument
inline constexpr HRESULT kStreamClosedError = MakeFailure(0x800A0E78u);    // not open
inline constexpr HRESULT kStreamContextError = MakeFailure(0x800A0C93u);   // not allowed now

// A fresh, closed stream: Type text, Mode 0, Charset "unicode".
DispatchPtr MakeStreamObject();

}  // namespace lumeno::platform
