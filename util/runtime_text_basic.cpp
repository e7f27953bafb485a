// Byte-wise and character-wise text operations that do not search: lengths, cuts, trimming,
// case, comparison and single characters.
#include "util/runtime_services.h"
#include "util/runtime_text_search.h"
#include "util/text_slicing.h"

#include <algorithm>

namespace lumeno {

using detail::FoldAscii;
using detail::IsLeadByte;

int TextLength(const Text& text) {
    return static_cast<int>(text.size());
}

Text LeftText(const Text& text, int n) {
    if (n <= 0) return {};
    return text.substr(0, std::min(text.size(), static_cast<std::size_t>(n)));
}

Text RightText(const Text& text, int n) {
    if (n <= 0) return {};
    const std::size_t take = std::min(text.size(), static_cast<std::size_t>(n));
    return text.substr(text.size() - take);
}

Text MidText(const Text& text, int start, int n) {
    if (start < 1 || static_cast<std::size_t>(start) > text.size() || n <= 0) return {};
    return text.substr(static_cast<std::size_t>(start) - 1, static_cast<std::size_t>(n));
}

std::string_view TrimSpacesView(std::string_view text) {
    // A space at either end starts with the byte 20 or A1 there; without one the text is kept
    // whole without the walk (header names and values are trimmed by the thousand).
    const auto spaceByte = [](char c) { return c == ' ' || static_cast<unsigned char>(c) == 0xA1; };
    if (!text.empty() && !spaceByte(text.front()) && !spaceByte(text.back())) return text;
    // Walk character by character so that an A1 A1 made of the second byte of one pair and the
    // first byte of the next is not taken for a full-width space.
    std::size_t first = text.size();
    std::size_t end = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t width = 1;
        bool space = text[i] == ' ';
        if (IsLeadByte(text[i]) && i + 1 < text.size()) {
            width = 2;
            space = static_cast<unsigned char>(text[i]) == 0xA1 &&
                    static_cast<unsigned char>(text[i + 1]) == 0xA1;
        }
        if (!space) {
            first = std::min(first, i);
            end = i + width;
        }
        i += width;
    }
    if (first >= end) return {};
    return text.substr(first, end - first);
}

Text TrimSpaces(const Text& text) {
    return Text(TrimSpacesView(text));
}

Text UpperText(const Text& text) {
    Text out = text;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (IsLeadByte(out[i])) {
            ++i;  // a double-byte character stays as it is
        } else if (out[i] >= 'a' && out[i] <= 'z') {
            out[i] = static_cast<char>(out[i] - 32);
        }
    }
    return out;
}

int CompareText(const Text& a, const Text& b, bool caseSensitive) {
    const std::size_t n = std::min(a.size(), b.size());
    bool charStart = true;  // equal prefixes have the same character starts in both texts
    for (std::size_t i = 0; i < n; ++i) {
        char ca = a[i];
        char cb = b[i];
        if (!caseSensitive && charStart && !IsLeadByte(ca)) {
            ca = FoldAscii(ca);
            cb = IsLeadByte(cb) ? cb : FoldAscii(cb);
        }
        if (ca != cb) {
            return static_cast<unsigned char>(ca) < static_cast<unsigned char>(cb) ? -1 : 1;
        }
        charStart = !charStart || !IsLeadByte(a[i]);
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

Text CharFromCode(std::uint8_t code) {
    if (code == 0) return {};
    return Text(1, static_cast<char>(code));
}

int CharCodeAt(const Text& text, int position) {
    if (position < 1 || static_cast<std::size_t>(position) > text.size()) return 0;
    return static_cast<signed char>(text[static_cast<std::size_t>(position) - 1]);
}

}  // namespace lumeno
