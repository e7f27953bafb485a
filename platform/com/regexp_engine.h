// The matching engine behind "VBScript.RegExp": a compiled PCRE2 16-bit pattern (JIT with an
// interpreter fallback, bounded by a match limit), the global match loop and replacement
// expansion of the scripting dialect.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lumeno::platform {

struct RegexFlags {
    bool ignoreCase = false;
    bool global = false;
    bool multiline = false;
};

// One match: its span in UTF-16 units and the spans of its groups (nothing for a group that
// did not take part).
struct RegexMatch {
    struct Span {
        std::size_t start = 0;
        std::size_t length = 0;
    };
    Span whole;
    std::vector<std::optional<Span>> groups;
};

class CompiledRegex {
public:
    // Nothing when the pattern does not compile in the dialect.
    static std::unique_ptr<CompiledRegex> Compile(const std::u16string& pattern, RegexFlags flags);
    ~CompiledRegex();
    CompiledRegex(const CompiledRegex&) = delete;
    CompiledRegex& operator=(const CompiledRegex&) = delete;

    // Every match (global) or the first one. Nothing when matching failed (match limit hit).
    std::optional<std::vector<RegexMatch>> Execute(const std::u16string& subject) const;

    int GroupCount() const { return groupCount_; }

private:
    struct Handles;
    explicit CompiledRegex(std::unique_ptr<Handles> handles, bool global, int groupCount);

    // 1: matched at or after `start`, 0: no match, -1: failure.
    int MatchFrom(const std::u16string& subject, std::size_t start, RegexMatch* match) const;

    std::unique_ptr<Handles> handles_;
    bool global_;
    int groupCount_;
};

// `replacement` with $& (the match), $` (before it), $' (after it), $$ ("$") and $n / $nn
// (group n, empty when it did not take part; two digits when that group exists) expanded;
// any other $ stays as it is.
std::u16string ExpandReplacement(const std::u16string& replacement, const std::u16string& subject,
                                 const RegexMatch& match);

// The subject with each of `matches` replaced by its expansion of `replacement`.
std::u16string ReplaceMatches(const std::u16string& subject, const std::vector<RegexMatch>& matches,
                              const std::u16string& replacement);

}  // namespace lumeno::platform
