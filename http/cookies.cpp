// Cookie merging (new cookies first in the server's order, then the jar's untouched cookies)
// and the cookies a response's header block sets.
#include "http/cookies.h"

#include <unordered_set>

#include "util/runtime_services.h"
#include "util/text_slicing.h"

namespace lumeno {
namespace {

constexpr const char* kEntrySeparator = "; ";

// Trimmed, and a final ";" made into a separator so that it splits off cleanly.
Text TidyJar(const Text& jar) {
    Text tidy = TrimSpaces(jar);
    if (RightText(tidy, 1) == ";") tidy += " ";
    return tidy;
}

// The trimmed text before the first "=", or the whole trimmed entry when it has none.
Text CookieName(const Text& entry) {
    const int equals = FindText(entry, "=");
    return TrimSpaces(equals == -1 ? entry : LeftText(entry, equals - 1));
}

bool IsDeletionMarker(const Text& entry) {
    return RightText(entry, 8) == "=deleted";
}

}  // namespace

Text MergeCookies(Text& oldJar, Text& newCookies) {
    // Tidy into locals first so the merge is the same when both parameters name one variable.
    const Text oldTidy = TidyJar(oldJar);
    const Text newTidy = TidyJar(newCookies);

    TextArray combined = SplitText(newTidy, kEntrySeparator);
    std::unordered_set<Text> names;
    for (const Text& entry : combined) names.insert(CookieName(entry));
    // Old entries appended here take part in later searches, so of several old entries with
    // one name only the first survives.
    for (const Text& entry : SplitText(oldTidy, kEntrySeparator)) {
        if (names.insert(CookieName(entry)).second) combined.Append(entry);
    }

    Text merged;
    for (const Text& entry : combined) {
        if (IsDeletionMarker(entry)) continue;
        merged += entry;
        merged += kEntrySeparator;
    }
    merged = LeftText(merged, TextLength(merged) - 2);
    merged = RemoveDuplicateEntries(merged, kEntrySeparator);

    newCookies = newTidy;
    oldJar = merged;
    return merged;
}

Text RemoveDuplicateEntries(const Text& text, const Text& separator) {
    std::unordered_set<Text> seen;
    Text out;
    for (const Text& piece : SplitText(text, separator)) {
        if (!seen.insert(piece).second) continue;
        out += piece;
        out += separator;
    }
    return LeftText(out, TextLength(out) - TextLength(separator));
}

Text CollectResponseCookies(const Text& responseHeaders) {
    Text cookies;
    // Lines are looked at in place; only a "Set-Cookie" line (the name before the first ": ")
    // is copied out to be taken apart.
    VisitSplitPieces(responseHeaders, "\r\n", [&](std::string_view piece) {
        if (!piece.starts_with("Set-Cookie: ")) return true;
        const Text line(piece);
        // Only the first name=value pair counts; path, expiry and domain are dropped.
        const Text cookie = FindText(line, ";") != -1 ? TextBetween(line, "Set-Cookie:", ";")
                                                      : ReplaceText(line, "Set-Cookie:", "");
        cookies += TrimSpaces(cookie);
        cookies += "; ";
        return true;
    });
    if (RightText(cookies, 2) == "; ") cookies = LeftText(cookies, TextLength(cookies) - 2);
    return cookies;
}

}  // namespace lumeno
