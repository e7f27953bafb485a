// The boundary-aware forward search behind FindText, ReplaceText, SplitText and the slicing
// helpers: memchr/memmem find candidates, the boundary tracker rejects those that start on the
// second byte of a double-byte pair.
#include "util/runtime_text_search.h"

#include <cstring>

namespace lumeno::detail {

bool CharBoundaries::IsStart(std::size_t offset) {
    if (offset == 0) return true;
    // Looking back past an earlier offset would lose linearity; start over from the text start.
    if (offset < known_) known_ = 0;
    std::size_t runStart = offset;
    while (runStart > known_ && IsLeadByte(text_[runStart - 1])) --runStart;
    const bool start = (offset - runStart) % 2 == 0;
    // A non-start offset is the second byte of a pair, so the byte before it starts one.
    known_ = start ? offset : offset - 1;
    return start;
}

namespace {

bool HasAsciiLetter(std::string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (IsLeadByte(s[i])) {
            ++i;  // the second byte of a pair is never folded
        } else if (IsAsciiLetter(s[i])) {
            return true;
        }
    }
    return false;
}

std::size_t FindByte(std::string_view text, std::size_t from, char c) {
    if (from >= text.size()) return TextFinder::npos;
    const void* hit = std::memchr(text.data() + from, c, text.size() - from);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data())
               : TextFinder::npos;
}

}  // namespace

TextFinder::TextFinder(std::string_view text, std::string_view what, bool ignoreCase)
    : text_(text), what_(what), folded_(ignoreCase && HasAsciiLetter(what)), boundaries_(text) {
    if (folded_ && !what_.empty()) {
        firstLower_ = FoldAscii(what_[0]);
        firstUpper_ = IsAsciiLetter(what_[0]) ? static_cast<char>(firstLower_ - 32) : what_[0];
    }
}

bool TextFinder::MatchesFoldedAt(std::size_t offset) const {
    const char* t = text_.data() + offset;
    for (std::size_t i = 0; i < what_.size(); ++i) {
        const char w = what_[i];
        if (IsLeadByte(w)) {
            if (t[i] != w) return false;
            if (i + 1 < what_.size()) {
                ++i;
                if (t[i] != what_[i]) return false;
            }
        } else if (FoldAscii(t[i]) != FoldAscii(w)) {
            return false;
        }
    }
    return true;
}

// Next offset >= from where the first byte of `what` occurs in either case. Each of the two
// memchr scans only runs again once the search has passed its cached hit.
std::size_t TextFinder::NextCandidate(std::size_t from) {
    if (!lowerValid_ || (nextLower_ != npos && nextLower_ < from)) {
        nextLower_ = FindByte(text_, from, firstLower_);
        lowerValid_ = true;
    }
    if (firstUpper_ == firstLower_) return nextLower_;
    if (!upperValid_ || (nextUpper_ != npos && nextUpper_ < from)) {
        nextUpper_ = FindByte(text_, from, firstUpper_);
        upperValid_ = true;
    }
    return nextLower_ < nextUpper_ ? nextLower_ : nextUpper_;
}

std::size_t TextFinder::Next(std::size_t from) {
    const std::size_t m = what_.size();
    if (m == 0 || from >= text_.size() || text_.size() - from < m) return npos;
    const std::size_t lastStart = text_.size() - m;
    if (!folded_) {
        while (from <= lastStart) {
            // string_view::find rather than memmem, which is a GNU extension.
            const std::size_t p = std::string_view(text_).find(std::string_view(what_), from);
            if (p == std::string_view::npos) return npos;
            if (boundaries_.IsStart(p)) return p;
            from = p + 1;
        }
        return npos;
    }
    while (from <= lastStart) {
        const std::size_t p = NextCandidate(from);
        if (p == npos || p > lastStart) return npos;
        if (MatchesFoldedAt(p) && boundaries_.IsStart(p)) return p;
        from = p + 1;
    }
    return npos;
}

}  // namespace lumeno::detail
