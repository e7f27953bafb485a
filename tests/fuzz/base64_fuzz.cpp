// Base64 on any bytes: the text is one unbroken line of the standard alphabet with "=" padding,
// of the length the encoding gives, and a plain decoder turns it back into the same bytes.
#include <cstring>

#include "http/base64.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int ValueOf(char c) {
    const char* at = std::strchr(kAlphabet, c);
    return c != 0 && at != nullptr ? static_cast<int>(at - kAlphabet) : -1;
}

// Decodes four characters at a time; false on any character outside the alphabet or a
// misplaced "=".
bool Decode(const std::string& text, std::vector<std::uint8_t>& out) {
    if (text.size() % 4 != 0) return false;
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        int v[4];
        int pads = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = text[i + static_cast<std::size_t>(k)];
            if (c == '=') {
                if (!last || k < 2) return false;
                ++pads;
                v[k] = 0;
                continue;
            }
            if (pads > 0) return false;  // nothing after padding
            v[k] = ValueOf(c);
            if (v[k] < 0) return false;
        }
        const unsigned group = static_cast<unsigned>(v[0] << 18 | v[1] << 12 | v[2] << 6 | v[3]);
        out.push_back(static_cast<std::uint8_t>(group >> 16));
        if (pads < 2) out.push_back(static_cast<std::uint8_t>(group >> 8));
        if (pads < 1) out.push_back(static_cast<std::uint8_t>(group));
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const lumeno::ByteSet bytes(data, data + size);
    const lumeno::Text text = lumeno::Base64Encode(bytes);
    FUZZ_CHECK(text.size() == (bytes.size() + 2) / 3 * 4);
    std::vector<std::uint8_t> decoded;
    FUZZ_CHECK(Decode(text, decoded));
    FUZZ_CHECK(decoded == bytes);
    return 0;
}
