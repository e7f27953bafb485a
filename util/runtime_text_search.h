// Forward search inside one GBK text that never reports a match starting at the second byte of
// a double-byte pair. Shared by the text operations and the slicing helpers; linear in the text
// length when the searched offsets never move backwards.
#pragma once

#include <cstddef>
#include <string_view>

namespace lumeno::detail {

inline bool IsLeadByte(char c) {
    return static_cast<unsigned char>(c) >= 0x80;
}

inline bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

inline char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

// Answers whether a byte offset starts a character. Any byte below 0x80 ends a character (it
// is a single byte or the second byte of a pair), so only the run of lead-range bytes just
// before an offset decides: an even run means a character start. The last offset known to be
// a character start bounds that backward look, which keeps a forward walk linear even over
// texts made only of double-byte characters.
class CharBoundaries {
public:
    explicit CharBoundaries(std::string_view text) : text_(text) {}

    bool IsStart(std::size_t offset);
    // The first character start at or after `offset`.
    std::size_t NextStart(std::size_t offset) { return IsStart(offset) ? offset : offset + 1; }

private:
    std::string_view text_;
    std::size_t known_ = 0;
};

// Finds `what` in `text` at character starts. ignoreCase folds ASCII letters that are
// single-byte characters of `what`; double-byte characters always compare exactly.
class TextFinder {
public:
    static constexpr std::size_t npos = std::string_view::npos;

    TextFinder(std::string_view text, std::string_view what, bool ignoreCase);

    // Offset of the first match at or after `from`, npos if none. `what` must not be empty.
    std::size_t Next(std::size_t from);

private:
    std::size_t NextCandidate(std::size_t from);
    bool MatchesFoldedAt(std::size_t offset) const;

    std::string_view text_;
    std::string_view what_;
    bool folded_;  // compare letters without regard to case
    CharBoundaries boundaries_;
    // Cached positions of the next lower- and upper-case first letter (folded search only).
    char firstLower_ = 0;
    char firstUpper_ = 0;
    std::size_t nextLower_ = 0;
    std::size_t nextUpper_ = 0;
    bool lowerValid_ = false;
    bool upperValid_ = false;
};

}  // namespace lumeno::detail
