// Base64 encoding of byte sets, used for Basic credentials.
#include "http/base64.h"

namespace lumeno {

Text Base64Encode(const ByteSet& bytes) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    if (bytes.empty()) return {};
    const std::size_t remainder = bytes.size() % 3;
    const std::size_t groups = (bytes.size() + 2) / 3;
    Text out;
    out.reserve(groups * 4);
    for (std::size_t g = 0; g < groups; ++g) {
        const std::size_t i = g * 3;
        // Missing bytes of the last group count as zero; their characters become "=" below.
        const unsigned b0 = bytes[i];
        const unsigned b1 = i + 1 < bytes.size() ? bytes[i + 1] : 0;
        const unsigned b2 = i + 2 < bytes.size() ? bytes[i + 2] : 0;
        out += kAlphabet[b0 >> 2];
        out += kAlphabet[((b0 & 3) << 4) | (b1 >> 4)];
        out += kAlphabet[((b1 & 15) << 2) | (b2 >> 6)];
        out += kAlphabet[b2 & 63];
    }
    if (remainder == 1) out.replace(out.size() - 2, 2, "==");
    if (remainder == 2) out.back() = '=';
    return out;
}

}  // namespace lumeno
