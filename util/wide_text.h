// GBK text <-> UTF-16LE byte sets for the layers that take wide strings.
#pragma once

#include "util/text_types.h"

namespace lumeno {

// Empty for an empty text; otherwise the text as UTF-16LE with a terminating zero character,
// two bytes per code unit. Undecodable GBK bytes become '?'.
ByteSet TextToWide(const Text& text);

// The UTF-16LE units of `bytes` (an odd last byte is ignored) as GBK, ending at the first zero
// character. A character GBK cannot hold becomes "?".
Text WideToText(const ByteSet& bytes);

}  // namespace lumeno
