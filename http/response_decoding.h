// The turning of a response body into the program's GBK text by the character set its page
// declares in a meta tag near its start.
#pragma once

#include "util/regex_object.h"
#include "util/text_types.h"

namespace lumeno {

// The body up to its first zero byte as it is, unless the first 1024 bytes of that text declare
// a character set other than "gbk" / "gb2312" (exact case); then the whole body is decoded in
// that character set through an "Adodb.Stream". A declared set the stream does not accept
// leaves the body's bytes as they are. `regex` is the caller's regex object (its thread's).
Text DecodeResponseText(RegexObject& regex, const ByteSet& body);

}  // namespace lumeno
