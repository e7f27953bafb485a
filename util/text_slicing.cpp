// The text slicing helpers.
#include "util/text_slicing.h"

#include "util/runtime_text_search.h"

#include <algorithm>
#include <cstring>

namespace lumeno {

using detail::TextFinder;

Text TextBetween(const Text& text, const Text& leftMarker, const Text& rightMarker, int start,
                 bool ignoreCase) {
    const Text left = ReplaceText(leftMarker, kQuotePlaceholder, "\"", 1, kAllOccurrences, true);
    const Text right = ReplaceText(rightMarker, kQuotePlaceholder, "\"", 1, kAllOccurrences, true);
    const int l = FindText(text, left, start, ignoreCase);
    if (l == -1) return {};
    const int d = l + TextLength(left);
    const int r = FindText(text, right, d, ignoreCase);
    if (r == -1) return {};
    return MidText(text, d, r - d);
}

int AllTextsBetween(const Text& text, const Text& leftMarker, const Text& rightMarker,
                    TextArray& results, bool ignoreCase, int maxLength, const Text& prefix,
                    const Text& suffix, bool keepLeftMarker, bool keepRightMarker, int start) {
    const BetweenOptions options{ignoreCase,     maxLength,       prefix, suffix,
                                 keepLeftMarker, keepRightMarker, start};
    return CollectTextsBetween(text, leftMarker, rightMarker, results, options, ProcessMessages);
}

// Both searches only move forward: the left search starts just after the previous left marker,
// and the right marker found for one piece is reused while the next piece starts before it
// (it is then still the first right marker at or after the new start). That keeps the walk
// linear in the text even when many left markers precede one right marker.
int CollectTextsBetween(const Text& text, const Text& leftMarker, const Text& rightMarker,
                        TextArray& results, const BetweenOptions& options,
                        const std::function<void()>& pumpMessages) {
    results.Clear();
    TextFinder leftFinder(text, leftMarker, options.ignoreCase);
    TextFinder rightFinder(text, rightMarker, options.ignoreCase);
    const std::size_t n = text.size();
    std::size_t d = options.start < 1 ? 0 : static_cast<std::size_t>(options.start) - 1;
    std::size_t right = TextFinder::npos;
    bool rightKnown = false;
    bool firstPiece = true;

    while (d < n) {
        // An empty left marker is "found" at the text start every time: the search would never
        // move on, so it yields one piece and the collection ends.
        const std::size_t l = leftMarker.empty() ? 0 : leftFinder.Next(d);
        if (l == TextFinder::npos) break;
        if (leftMarker.empty() && !firstPiece) break;
        firstPiece = false;
        d = l + leftMarker.size();
        if (d >= n) break;

        std::size_t r;
        std::size_t length;
        if (rightMarker.empty()) {
            // FindText gives position 1 for an empty text, so the piece is empty.
            r = d;
            length = 0;
        } else {
            if (!rightKnown || (right != TextFinder::npos && right < d)) {
                right = rightFinder.Next(d);
                rightKnown = true;
            }
            if (right == TextFinder::npos) break;
            r = right;
            length = r - d;
        }

        const std::size_t size = (options.keepLeftMarker ? leftMarker.size() : 0) +
                                 options.prefix.size() + length + options.suffix.size() +
                                 (options.keepRightMarker ? rightMarker.size() : 0);
        if (options.maxLength == 0 ||
            static_cast<long long>(size) < static_cast<long long>(options.maxLength)) {
            Text piece;
            piece.reserve(size);
            if (options.keepLeftMarker) piece += leftMarker;
            piece += options.prefix;
            piece.append(text, d, length);
            piece += options.suffix;
            if (options.keepRightMarker) piece += rightMarker;
            results.Append(std::move(piece));
        }
        for (int i = 0; i < 3; ++i) pumpMessages();
    }
    return ArrayCount(results);
}

Text ReplaceMany(const Text& text, const Text& find1, const Text& replacement1, const Text& find2,
                 const Text& replacement2, const Text& find3, const Text& replacement3,
                 const Text& find4, const Text& replacement4, const Text& find5,
                 const Text& replacement5, int count, int start, bool caseSensitive) {
    if (start == 0) start = 1;
    Text current = ReplaceText(text, find1, replacement1, start, count, caseSensitive);
    current = ReplaceText(current, find2, replacement2, start, count, caseSensitive);
    current = ReplaceText(current, find3, replacement3, start, count, caseSensitive);
    current = ReplaceText(current, find4, replacement4, start, count, caseSensitive);
    return ReplaceText(current, find5, replacement5, start, count, caseSensitive);
}

Text DropRight(const Text& text, int n) {
    if (n <= 0) return text;
    if (static_cast<std::size_t>(n) >= text.size()) return {};
    return text.substr(0, text.size() - static_cast<std::size_t>(n));
}

int CompareTextBytes(const Text& a, const Text& b) {
    const int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
    if (c != 0) return c < 0 ? -1 : 1;
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

int ArrayCount(const TextArray& array) {
    return array.Count();
}

}  // namespace lumeno
