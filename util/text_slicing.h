// Slicing helpers over the runtime services: the text between two markers, every text between
// two markers, chained replacements, dropping trailing bytes, joining and byte-wise comparison.
// None of them fails: a marker that is not found gives an empty text or ends the collection.
#pragma once

#include <functional>
#include <string_view>

#include "util/runtime_services.h"
#include "util/runtime_text_search.h"

namespace lumeno {

// Stands for one double quote in the markers of TextBetween.
inline constexpr const char* kQuotePlaceholder = "#引号";

// The text between the first leftMarker at or after `start` and the next rightMarker after it;
// empty when either is missing. "#引号" in either marker stands for a double quote.
Text TextBetween(const Text& text, const Text& leftMarker, const Text& rightMarker, int start = 1,
                 bool ignoreCase = false);

// Fills `results` with every text between the two markers (each left marker found starts one
// piece, searching on from just after it, so nested left markers give further pieces) and
// returns the count. Each piece is [leftMarker] + prefix + text + suffix + [rightMarker]; with
// maxLength > 0 only pieces shorter than maxLength are kept. The calling thread's messages are
// pumped three times after every piece. An empty leftMarker gives at most one piece: the text
// before the first rightMarker.
int AllTextsBetween(const Text& text, const Text& leftMarker, const Text& rightMarker,
                    TextArray& results, bool ignoreCase = false, int maxLength = 0,
                    const Text& prefix = {}, const Text& suffix = {}, bool keepLeftMarker = false,
                    bool keepRightMarker = false, int start = 1);

// The options of AllTextsBetween, for CollectTextsBetween.
struct BetweenOptions {
    bool ignoreCase = false;
    int maxLength = 0;
    Text prefix;
    Text suffix;
    bool keepLeftMarker = false;
    bool keepRightMarker = false;
    int start = 1;
};

// AllTextsBetween with the message pump passed in (AllTextsBetween passes ProcessMessages).
int CollectTextsBetween(const Text& text, const Text& leftMarker, const Text& rightMarker,
                        TextArray& results, const BetweenOptions& options,
                        const std::function<void()>& pumpMessages);

// Up to five ReplaceText passes, one after the other, each with the same count, start and case
// rule. Pairs left out have an empty find text and change nothing. A start of 0 counts as 1.
Text ReplaceMany(const Text& text, const Text& find1, const Text& replacement1,
                 const Text& find2 = {}, const Text& replacement2 = {}, const Text& find3 = {},
                 const Text& replacement3 = {}, const Text& find4 = {},
                 const Text& replacement4 = {}, const Text& find5 = {},
                 const Text& replacement5 = {}, int count = kAllOccurrences, int start = 1,
                 bool caseSensitive = false);

// The text without its last n bytes: empty when n >= length, the whole text when n <= 0.
Text DropRight(const Text& text, int n);

// The texts one after the other.
template <class... More>
Text JoinTexts(std::string_view first, std::string_view second, const More&... more) {
    const std::string_view parts[] = {first, second, std::string_view(more)...};
    std::size_t size = 0;
    for (std::string_view part : parts) size += part.size();
    Text joined;
    joined.reserve(size);
    for (std::string_view part : parts) joined.append(part);
    return joined;
}

// Calls visit(piece) with each piece SplitText(text, delimiter) gives, in order, as views into
// `text` instead of copies: for walking the lines of a header block without allocating. The
// delimiter must not be empty. Stops early when visit returns false.
template <class Visit>
void VisitSplitPieces(std::string_view text, std::string_view delimiter, Visit visit) {
    detail::TextFinder finder(text, delimiter, false);
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t p = finder.Next(pos);
        const std::size_t end = p == detail::TextFinder::npos ? text.size() : p;
        if (!visit(text.substr(pos, end - pos))) return;
        if (p == detail::TextFinder::npos) return;
        pos = p + delimiter.size();
    }
}

// The view without the spaces TrimSpaces removes (ASCII spaces and full-width A1 A1 spaces at
// either end).
std::string_view TrimSpacesView(std::string_view text);

// -1, 0 or 1 comparing unsigned bytes; a text that is a prefix of the other sorts first.
int CompareTextBytes(const Text& a, const Text& b);

// The number of elements of an array.
int ArrayCount(const TextArray& array);

}  // namespace lumeno
