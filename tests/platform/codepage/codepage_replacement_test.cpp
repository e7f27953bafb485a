// How our converter replaces what does not convert (Linux only): each undecodable GBK byte and
// each character GBK lacks becomes one '?', and the composite check composes several marks.
// The system's converter on Windows has rules of its own here (0xFF becomes U+F8F5, a lead byte
// takes the byte after it along, a surrogate pair becomes two '?').
#include "platform/codepage/codepage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumeno::platform {
namespace {

struct BadGbkCase {
    const char* name;
    std::string input;
    std::u16string expected;
};

class BadGbkTest : public testing::TestWithParam<BadGbkCase> {};

TEST_P(BadGbkTest, BecomesQuestionMarksWithoutReadingPastTheEnd) {
    const BadGbkCase& c = GetParam();
    // A heap copy of exactly the input's size, so a read past the end trips the sanitizer.
    std::vector<char> exact(c.input.begin(), c.input.end());
    EXPECT_EQ(GbkToUtf16(std::string_view(exact.data(), exact.size())), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, BadGbkTest,
                         testing::Values(BadGbkCase{"LoneLeadByteAtEnd", "ab\x81", u"ab?"},
                                         BadGbkCase{"LeadByteBeforeSpace", "\x81 x", u"? x"},
                                         BadGbkCase{"ByteFF", "\xFF", u"?"},
                                         BadGbkCase{"GoodAfterBad", "\xFF\xC4\xE3", u"?你"}),
                         [](const auto& info) { return std::string(info.param.name); });

// UTF-8 of the Basic Multilingual Plane (all code page 936 decodes to) as UTF-16 units.
std::u16string BmpUtf8ToUtf16(const std::string& utf8) {
    std::u16string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const auto next = [&](std::size_t k) { return utf8[i + k] & 0x3F; };
        if (b < 0x80) {
            out += static_cast<char16_t>(b);
            i += 1;
        } else if (b < 0xE0) {
            out += static_cast<char16_t>(((b & 0x1F) << 6) | next(1));
            i += 2;
        } else {
            out += static_cast<char16_t>(((b & 0x0F) << 12) | (next(1) << 6) | next(2));
            i += 3;
        }
    }
    return out;
}

// Every pair of bytes, alone, between ASCII letters and before a good character, decodes as the
// separate UTF-8 conversion does: the same characters, the same '?' for each byte that does not
// convert, the same resumption after it.
TEST(CodePageReplacement, EveryBytePairDecodesAsTheUtf8ConversionDoes) {
    int mismatches = 0;
    for (int lead = 0; lead < 256; ++lead) {
        for (int trail = 0; trail < 256; ++trail) {
            const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
            for (const std::string& text : {pair, "a" + pair + "b", pair + "\xC4\xE3"}) {
                const std::u16string expected = BmpUtf8ToUtf16(GbkToUtf8(text));
                if (GbkToUtf16(text) != expected && ++mismatches <= 5) {
                    ADD_FAILURE() << "bytes " << std::hex << lead << " " << trail;
                }
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(CodePageReplacement, SurrogatesAreOneCharacter) {
    EXPECT_EQ(Utf16ToGbk(u"a\U0001F600b"), "a?b");  // a surrogate pair is one character
    EXPECT_EQ(Utf16ToGbk(std::u16string(u"x") + char16_t(0xD800) + u"y"), "x?y");  // lone half
}

TEST(CodePageReplacement, CompositeCheckTakesSeveralMarks) {
    const std::u16string wide = u"lu\u0308\u030C";  // l + u-diaeresis-caron
    std::string out(16, '\0');
    const int n =
        WideCharToMultiByte(kCodePageGbk, kWcCompositeCheck, wide.data(),
                            static_cast<int>(wide.size()), out.data(), 16, nullptr, nullptr);
    out.resize(n > 0 ? n : 0);
    EXPECT_EQ(out, "l\xA8\xB7");
}

}  // namespace
}  // namespace lumeno::platform
