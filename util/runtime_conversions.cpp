// Conversions between texts, integers and byte sets.
#include "util/runtime_services.h"
#include "util/runtime_text_search.h"

#include <climits>
#include <cstdint>
#include <cstring>

namespace lumeno {

namespace {

// Full-width forms folded to ASCII: A3 A1..A3 FE -> 21..7E, A1 A1 -> space, A1 AB -> '~',
// A1 EE / A1 EF -> '*'. Other characters stay as they are.
Text FoldFullWidth(const Text& text) {
    Text out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80 || i + 1 >= text.size()) {
            out += text[i];
            continue;
        }
        const auto trail = static_cast<unsigned char>(text[i + 1]);
        if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
            out += static_cast<char>(trail - 0x80);
        } else if (lead == 0xA1 && trail == 0xA1) {
            out += ' ';
        } else if (lead == 0xA1 && trail == 0xAB) {
            out += '~';
        } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
            out += '*';
        } else {
            out += text[i];
            out += text[i + 1];
        }
        ++i;
    }
    return out;
}

bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

}  // namespace

int TextToInteger(const Text& text) {
    const Text folded = FoldFullWidth(text);
    std::size_t i = 0;
    while (i < folded.size() && IsBlank(folded[i])) ++i;
    bool negative = false;
    if (i < folded.size() && (folded[i] == '+' || folded[i] == '-')) {
        negative = folded[i] == '-';
        ++i;
    }
    // Values beyond the 32-bit range saturate rather than wrap.
    std::int64_t value = 0;
    for (; i < folded.size() && folded[i] >= '0' && folded[i] <= '9'; ++i) {
        value = value * 10 + (folded[i] - '0');
        if (value > static_cast<std::int64_t>(INT_MAX) + 1)
            value = static_cast<std::int64_t>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    return static_cast<int>(value);
}

std::uint8_t TextToByte(const Text& text) {
    return static_cast<std::uint8_t>(static_cast<unsigned>(TextToInteger(text)) & 0xFFu);
}

Text ToText(int value) {
    return std::to_string(value);
}

Text ToText(const ByteSet& bytes) {
    const char* start = reinterpret_cast<const char*>(bytes.data());
    const void* zero = bytes.empty() ? nullptr : std::memchr(start, 0, bytes.size());
    const std::size_t n = zero == nullptr
                              ? bytes.size()
                              : static_cast<std::size_t>(static_cast<const char*>(zero) - start);
    return Text(start, n);
}

ByteSet ToBytes(const Text& text) {
    return ByteSet(text.begin(), text.end());
}

}  // namespace lumeno
