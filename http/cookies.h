// Cookie jars ("name=value; name=value"), the cookies a response sets and their merge into a jar.
#pragma once

#include "util/text_types.h"

namespace lumeno {

// Folds newCookies into oldJar: a cookie of newCookies replaces the jar's cookies of the same
// (trimmed, case-sensitive) name, the jar's other cookies follow in their old order, entries
// ending in "=deleted" disappear and repeated entries are removed. Both parameters are in/out:
// newCookies is left in its tidied form (trimmed, a final ";" completed to "; ") and oldJar
// holds the merged jar, which is also returned.
Text MergeCookies(Text& oldJar, Text& newCookies);

// The name=value pairs of the response's "Set-Cookie" lines, joined by "; ".
Text CollectResponseCookies(const Text& responseHeaders);

// The text without every entry that repeats an earlier, byte-equal entry; entries are the
// pieces between separators, and the result has no separator after its last entry.
Text RemoveDuplicateEntries(const Text& text, const Text& separator);

}  // namespace lumeno
