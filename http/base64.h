// Base64 text of a byte set (standard alphabet, "=" padding, one unbroken line).
#pragma once

#include "util/text_types.h"

namespace lumeno {

Text Base64Encode(const ByteSet& bytes);

}  // namespace lumeno
