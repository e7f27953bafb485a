// The text searches and slicing helpers over any GBK bytes, each held against the plain
// character-by-character reference: any difference aborts.
#include <algorithm>

#include "tests/fuzz/fuzz_input.h"
#include "tests/fuzz/reference_text.h"
#include "util/runtime_services.h"
#include "util/text_slicing.h"

namespace {

using namespace lumeno;
namespace ref = lumeno::fuzz::reference;

constexpr std::size_t kMaxText = 1024;
// Markers and replacements stay short: the reference matches naively, and a long marker over a
// long text made it, not the helpers under test, take seconds per input.
constexpr std::size_t kMaxMarker = 64;

Text Marker(fuzz::FuzzInput& in) {
    Text marker = in.Text();
    if (marker.size() > kMaxMarker) marker.resize(kMaxMarker);
    return marker;
}

std::vector<std::string> Items(const TextArray& array) {
    return array.Items();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    const std::uint8_t flags = in.Byte();
    const bool ignoreCase = flags & 1, caseSensitive = flags & 2;
    const bool keepLeft = flags & 4, keepRight = flags & 8;
    const int start = in.Int(-3, 600);
    const int count = in.Int(-2, 5);
    const int maxParts = in.Int(-3, 8);  // -3: omitted
    const int n = in.Int(-3, 600);
    const int maxLength = in.Int(-2, 80);
    const Text what = Marker(in), replacement = Marker(in), left = Marker(in), right = Marker(in);
    const Text prefix = Marker(in), suffix = Marker(in);
    Text text = in.RestText();
    std::replace(text.begin(), text.end(), '\0', ' ');  // a Text holds no zero byte
    if (text.size() > kMaxText) text.resize(kMaxText);

    FUZZ_CHECK(FindText(text, what, start, ignoreCase) ==
               ref::FindText(text, what, start, ignoreCase));
    FUZZ_CHECK(FindText(text, what) == ref::FindText(text, what, 1, false));
    FUZZ_CHECK(FindTextLast(text, what, start, ignoreCase) ==
               ref::FindTextLast(text, what, start, ignoreCase));
    FUZZ_CHECK(FindTextLast(text, what) == ref::FindTextLast(text, what, kWholeText, false));
    FUZZ_CHECK(ReplaceText(text, what, replacement, start, count, caseSensitive) ==
               ref::ReplaceText(text, what, replacement, start, count, caseSensitive));
    FUZZ_CHECK(ReplaceText(text, what) == ref::ReplaceText(text, what, "", 1, -1, false));

    const std::optional<int> parts = maxParts == -3 ? std::nullopt : std::optional<int>(maxParts);
    FUZZ_CHECK(Items(SplitText(text, what, parts)) ==
               ref::SplitText(text, what, maxParts == -3 ? -1 : std::max(maxParts, 0)));
    FUZZ_CHECK(Items(SplitText(text)) == ref::SplitText(text, ",", -1));

    FUZZ_CHECK(TrimSpaces(text) == ref::TrimSpaces(text));
    FUZZ_CHECK(UpperText(text) == ref::UpperText(text));

    FUZZ_CHECK(TextBetween(text, left, right, start, ignoreCase) ==
               ref::TextBetween(text, left, right, start, ignoreCase));

    TextArray results;
    int pumps = 0;
    const BetweenOptions options{ignoreCase, maxLength, prefix, suffix, keepLeft, keepRight, start};
    const int found = CollectTextsBetween(text, left, right, results, options, [&] { ++pumps; });
    const std::vector<std::string> expected = ref::AllTextsBetween(
        text, left, right, ignoreCase, maxLength, prefix, suffix, keepLeft, keepRight, start);
    FUZZ_CHECK(found == results.Count());
    FUZZ_CHECK(Items(results) == expected);
    FUZZ_CHECK(pumps % 3 == 0 && pumps / 3 >= found);

    Text chained =
        ref::ReplaceText(text, what, replacement, start == 0 ? 1 : start, count, caseSensitive);
    chained = ref::ReplaceText(chained, left, right, start == 0 ? 1 : start, count, caseSensitive);
    chained =
        ref::ReplaceText(chained, prefix, suffix, start == 0 ? 1 : start, count, caseSensitive);
    FUZZ_CHECK(ReplaceMany(text, what, replacement, left, right, prefix, suffix, {}, {}, {}, {},
                           count, start, caseSensitive) == chained);

    FUZZ_CHECK(DropRight(text, n) == ref::DropRight(text, n));
    return 0;
}
