// Searching text operations: FindText, FindTextLast, ReplaceText and SplitText. All step over
// GBK double-byte pairs as one character (see runtime_text_search.h). Character starts are
// always counted from the start of the whole text, so a start position that falls on the
// second byte of a pair never yields a match there: the search begins at the next character.
#include "util/runtime_services.h"
#include "util/runtime_text_search.h"

#include <algorithm>
#include <string_view>

namespace lumeno {

using detail::TextFinder;

int FindText(const Text& text, const Text& what, int start, bool ignoreCase) {
    const std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (from >= text.size()) return -1;
    if (what.empty()) return 1;
    TextFinder finder(text, what, ignoreCase);
    const std::size_t p = finder.Next(from);
    return p == TextFinder::npos ? -1 : static_cast<int>(p) + 1;
}

int FindTextLast(const Text& text, const Text& what, int start, bool ignoreCase) {
    if (start <= 1) return -1;
    const std::size_t region =
        std::min(text.size(), static_cast<std::size_t>(static_cast<unsigned>(start) - 1));
    if (region == 0) return -1;
    if (what.empty()) return 1;
    // Only matches lying wholly inside the region count, so search the region alone; its
    // character starts are the same as in the whole text.
    TextFinder finder(std::string_view(text).substr(0, region), what, ignoreCase);
    int last = -1;
    for (std::size_t p = finder.Next(0); p != TextFinder::npos; p = finder.Next(p + 1)) {
        last = static_cast<int>(p) + 1;
    }
    return last;
}

Text ReplaceText(const Text& text, const Text& find, const Text& replacement, int start, int count,
                 bool caseSensitive) {
    const std::size_t from = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (text.empty() || find.empty() || from >= text.size() || count == 0) return text;
    TextFinder finder(text, find, !caseSensitive);
    Text out;
    out.reserve(text.size());
    out.append(text, 0, from);
    std::size_t pos = from;
    for (int done = 0; count < 0 || done < count; ++done) {
        const std::size_t p = finder.Next(pos);
        if (p == TextFinder::npos) break;
        out.append(text, pos, p - pos);
        out += replacement;
        pos = p + find.size();
    }
    out.append(text, pos, Text::npos);
    return out;
}

TextArray SplitText(const Text& text, const Text& delimiter, std::optional<int> maxParts) {
    TextArray parts;
    const int limit = maxParts ? std::max(*maxParts, 0) : kWholeText;
    if (text.empty() || limit == 0) return parts;
    if (delimiter.empty()) {
        parts.Append(text);
        return parts;
    }
    TextFinder finder(text, delimiter, false);
    std::size_t pos = 0;
    while (parts.Count() < limit) {
        const std::size_t p = finder.Next(pos);
        if (p == TextFinder::npos) {
            // The piece after the last delimiter is kept only when it holds something.
            if (pos < text.size()) parts.Append(text.substr(pos));
            break;
        }
        parts.Append(text.substr(pos, p - pos));
        pos = p + delimiter.size();
    }
    return parts;
}

}  // namespace lumeno
