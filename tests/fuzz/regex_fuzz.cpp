// RegexObject with any pattern, flags and subject: no crash, every reader answers within the
// run it describes (positions inside the subject and pointing at the text they return), the
// global run always moves on (at most one match per subject position) and a copy reads the
// same. Subjects are made of whole GBK characters. A run is bounded by the engine's match limit:
// one that hits it fails instead of going on, and the fuzzer's hang timeout catches any run that
// would not end.
#include <algorithm>

#include "platform/codepage/codepage.h"
#include "platform/com/runtime.h"
#include "tests/fuzz/fuzz_input.h"
#include "util/regex_object.h"
#include "util/runtime_services.h"

namespace {

using namespace lumeno;

constexpr std::size_t kMaxPattern = 256;
constexpr std::size_t kMaxSubject = 2048;
constexpr int kMatchesRead = 6;

void CheckReaders(const RegexObject& regex, const Text& subject) {
    const int count = regex.MatchCount();
    FUZZ_CHECK(count >= 0);
    FUZZ_CHECK(static_cast<std::size_t>(count) <= subject.size() + 1);
    const int groups = regex.SubmatchCount();
    FUZZ_CHECK(groups >= 0);
    for (int m = 1; m <= std::min(count, kMatchesRead) + 1; ++m) {
        int position = -7;
        const Text match = regex.MatchText(m, &position, true);
        if (m > count) FUZZ_CHECK(match.empty());
        if (!match.empty()) {
            FUZZ_CHECK(position >= 0);
            FUZZ_CHECK(subject.compare(static_cast<std::size_t>(position), match.size(), match) ==
                       0);
        }
        for (int g = 1; g <= std::min(groups, 4) + 1; ++g) {
            int groupPosition = -7;
            const Text group = regex.SubmatchText(m, g, &groupPosition, true);
            if (m > count || g > groups) FUZZ_CHECK(group.empty());
            // Code page 936 has two single-byte characters at 0x80 and 0xFF, which the text
            // operations pair with the byte after them: a group found only from there on may
            // not be found again by its text, and then has no position.
            const bool singleByteHigh = subject.find_first_of("\x80\xFF") != Text::npos;
            if (!group.empty() && (groupPosition >= 0 || !singleByteHigh)) {
                FUZZ_CHECK(groupPosition >= 0);
                FUZZ_CHECK(subject.compare(static_cast<std::size_t>(groupPosition), group.size(),
                                           group) == 0);
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    const std::uint8_t flags = in.Byte();
    Text pattern = in.Text();
    const Text replacement = in.Text().substr(0, 64);
    Text subject = in.RestText();
    if (pattern.size() > kMaxPattern) pattern.resize(kMaxPattern);
    std::replace(subject.begin(), subject.end(), '\0', ' ');
    if (subject.size() > kMaxSubject) subject.resize(kMaxSubject);
    // The engine sees the subject as UTF-16; bytes that are no GBK character come back as "?".
    // Positions are checked on a subject that survives that trip unchanged.
    subject = platform::Utf16ToGbk(platform::GbkToUtf16(subject));

    {
        RegexObject regex;
        const bool ran = regex.Create(pattern, subject, flags & 1, flags & 2, flags & 4, flags & 8);
        // The pattern travels as UTF-16 too: bytes that are no GBK character come back as "?".
        if (!(flags & 8))
            FUZZ_CHECK(regex.GetPattern() == platform::Utf16ToGbk(platform::GbkToUtf16(pattern)));
        if (!ran) {
            FUZZ_CHECK(regex.MatchCount() == 0);
            FUZZ_CHECK(regex.MatchText(1).empty());
        } else {
            CheckReaders(regex, subject);
            const Text replaced = regex.Replace(replacement);
            if (regex.MatchCount() == 0) FUZZ_CHECK(replaced == subject);
            RegexObject copy = regex.Copy();
            FUZZ_CHECK(copy.MatchCount() == regex.MatchCount());
            FUZZ_CHECK(copy.MatchText(1) == regex.MatchText(1));
            copy.Destroy();
        }
        regex.Destroy();
    }
    FUZZ_CHECK(platform::CoInitializeCount() == 0);
    return 0;
}
