// The turning of a response body into the program's GBK text by the character set its page
// declares in a meta tag near its start.
#pragma once

#include <cstddef>

#include "util/regex_object.h"
#include "util/text_types.h"

namespace lumeno {

// The body up to its first zero byte as it is, unless the first 1024 bytes of that text declare
// a character set other than "gbk" / "gb2312" (exact case); then the whole body is decoded in
// that character set through an "Adodb.Stream". A declared set the stream does not accept
// leaves the body's bytes as they are. `regex` is the caller's regex object (its thread's).
Text DecodeResponseText(RegexObject& regex, const ByteSet& body);

// The same for a body read into a Text: all its bytes, zero bytes included, of which the first
// `textLength` come before the first zero byte (the whole body when it holds none). When the
// bytes are taken as they are, the body's own storage becomes the result, so a large page is
// neither copied nor scanned again.
Text DecodeResponseText(RegexObject& regex, Text&& body, std::size_t textLength);

// The length of the text at the start of `bytes`: the bytes before the first zero byte.
std::size_t TextLengthOfBytes(const char* bytes, std::size_t size);

}  // namespace lumeno
