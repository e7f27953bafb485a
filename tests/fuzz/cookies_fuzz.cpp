// Cookie merging on any two jars: MergeCookies against a reference written from its rules, and
// what every merged jar must hold: no deletion marker and no byte-equal duplicate entry.
// RemoveDuplicateEntries is checked on its own with any separator.
#include <algorithm>
#include <set>

#include "http/cookies.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/fuzz/reference_text.h"

namespace {

using namespace lumeno;
namespace ref = lumeno::fuzz::reference;

constexpr std::size_t kMaxText = 2048;
const std::string kSeparator = "; ";

std::string Tidy(const std::string& jar) {
    std::string tidy = ref::TrimSpaces(jar);
    if (!tidy.empty() && tidy.back() == ';') tidy += " ";
    return tidy;
}

std::string NameOf(const std::string& entry) {
    const int equals = ref::FindText(entry, "=", 1, false);
    return ref::TrimSpaces(equals == -1 ? entry : entry.substr(0, equals - 1));
}

bool IsMarker(const std::string& entry) {
    return entry.size() >= 8 && entry.compare(entry.size() - 8, 8, "=deleted") == 0;
}

std::string ReferenceRemoveDuplicates(const std::string& text, const std::string& separator) {
    std::set<std::string> seen;
    std::string out;
    for (const std::string& piece : ref::SplitText(text, separator, -1)) {
        if (!seen.insert(piece).second) continue;
        out += piece + separator;
    }
    return out.substr(0, out.size() >= separator.size() ? out.size() - separator.size() : 0);
}

std::string ReferenceMerge(const std::string& oldJar, const std::string& newCookies) {
    std::vector<std::string> combined = ref::SplitText(Tidy(newCookies), kSeparator, -1);
    for (const std::string& entry : ref::SplitText(Tidy(oldJar), kSeparator, -1)) {
        const std::string name = NameOf(entry);
        const bool taken = std::any_of(combined.begin(), combined.end(),
                                       [&](const std::string& e) { return NameOf(e) == name; });
        if (!taken) combined.push_back(entry);
    }
    std::string merged;
    for (const std::string& entry : combined) {
        if (!IsMarker(entry)) merged += entry + kSeparator;
    }
    merged = merged.substr(0, merged.size() >= 2 ? merged.size() - 2 : 0);
    return ReferenceRemoveDuplicates(merged, kSeparator);
}

std::string Clean(std::string text) {
    std::replace(text.begin(), text.end(), '\0', ' ');
    if (text.size() > kMaxText) text.resize(kMaxText);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    const std::string separator = Clean(in.Text()).substr(0, 4);
    const std::string oldText = Clean(in.Text());
    const std::string newText = Clean(in.RestText());

    Text oldJar = oldText, newCookies = newText;
    const Text merged = MergeCookies(oldJar, newCookies);
    FUZZ_CHECK(merged == ReferenceMerge(oldText, newText));
    FUZZ_CHECK(oldJar == merged);
    FUZZ_CHECK(newCookies == Tidy(newText));
    std::set<std::string> entries;
    for (const std::string& entry : ref::SplitText(merged, kSeparator, -1)) {
        FUZZ_CHECK(!IsMarker(entry));
        FUZZ_CHECK(entries.insert(entry).second);
    }

    // Both parameters naming one variable: the merge of a jar with itself.
    Text same = newText;
    FUZZ_CHECK(MergeCookies(same, same) == ReferenceMerge(newText, newText));

    if (!separator.empty()) {
        const Text unique = RemoveDuplicateEntries(oldText, separator);
        FUZZ_CHECK(unique == ReferenceRemoveDuplicates(oldText, separator));
        std::set<std::string> pieces;
        for (const std::string& piece : ref::SplitText(unique, separator, -1))
            FUZZ_CHECK(pieces.insert(piece).second);
    }
    return 0;
}
