// Code page 936 conversions: round trips, the MultiByteToWideChar / WideCharToMultiByte buffer
// shapes, and bad input that must neither crash nor read past its end.
#include "platform/codepage/codepage.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace lumeno::platform {
namespace {

TEST(CodePageTest, ChineseLiteralsAreGbkAndRoundTrip) {
    const std::string gbk = "温馨提示 - ";
    EXPECT_EQ(gbk, "\xCE\xC2\xDC\xB0\xCC\xE1\xCA\xBE\x20\x2D\x20");
    EXPECT_EQ(GbkToUtf16(gbk), u"温馨提示 - ");
    EXPECT_EQ(Utf16ToGbk(u"温馨提示 - "), gbk);
    EXPECT_EQ(GbkToUtf8(gbk), std::string(reinterpret_cast<const char*>(u8"温馨提示 - ")));
    EXPECT_EQ(Utf8ToGbk(reinterpret_cast<const char*>(u8"温馨提示 - ")), gbk);
}

TEST(CodePageTest, EuroSignUsesTheSingleByteCode) {
    EXPECT_EQ(GbkToUtf16("\x80"), u"\u20AC");
    EXPECT_EQ(Utf16ToGbk(u"\u20AC"), "\x80");
}

// Only the 26 ASCII letters fold; neighbours such as [ and {, and bytes or units above 7F, never.
TEST(CodePageTest, AsciiCaseFoldsLettersAloneInBothWidths) {
    EXPECT_TRUE(EqualsAsciiIgnoreCase("Content-Type", "cONTENT-tYPE"));
    EXPECT_FALSE(EqualsAsciiIgnoreCase("Accept", "Accept:"));
    EXPECT_FALSE(EqualsAsciiIgnoreCase("[@", "{`"));
    EXPECT_FALSE(EqualsAsciiIgnoreCase("\xC0", "\xE0"));
    EXPECT_TRUE(EqualsAsciiIgnoreCase(u"UTF-8", u"utf-8"));
    EXPECT_FALSE(EqualsAsciiIgnoreCase(u"\u00C0", u"\u00E0"));
}

TEST(CodePageTest, LoneLeadByteAtTheEndBecomesAQuestionMark) {
    // A heap copy of exactly the input's size, so a read past the end trips the sanitizer.
    const std::vector<char> exact = {'a', 'b', '\x81'};
    EXPECT_EQ(GbkToUtf16(std::string_view(exact.data(), exact.size())), u"ab?");
}

// ASCII runs skip iconv; a second byte in the ASCII range must still pair with its first byte,
// and the runs must join without losing or doubling a character.
struct MixedCase {
    const char* name;
    std::string gbk;
    std::u16string wide;
};

class MixedRunsTest : public testing::TestWithParam<MixedCase> {};

TEST_P(MixedRunsTest, ConvertBothWaysAsWholeTexts) {
    const MixedCase& c = GetParam();
    EXPECT_EQ(GbkToUtf16(c.gbk), c.wide);
    EXPECT_EQ(Utf16ToGbk(c.wide), c.gbk);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MixedRunsTest,
    testing::Values(
        MixedCase{"AsciiOnly", "<meta charset=gbk>", u"<meta charset=gbk>"},
        MixedCase{"SecondByteInAsciiRange",
                  "a\x81\x40"
                  "b",
                  u"a\u4E02b"},
        MixedCase{"EuroThenPair", "\x80\x81\x40", u"\u20AC\u4E02"},
        MixedCase{"PairThenAsciiLetters", "x\x81\x40\x41", u"x\u4E02A"},
        MixedCase{"IdeographicSpaceThenAscii",
                  "\xA1\xA1"
                  "A",
                  u"\u3000A"},
        MixedCase{"AsciiAroundChinese", "<title>\xB1\xDA\xD6\xBD</title>x",
                  u"<title>\u58C1\u7EB8</title>x"},
        MixedCase{"PairAtTheEnd", "abc\xC4\xE3", u"abc\u4F60"},
        MixedCase{"LongAsciiRunsAroundPairs",
                  std::string(70, 'a') + "\x81\x40" + std::string(70, 'b') + "\xB1\xDA@",
                  std::u16string(70, u'a') + u"\u4E02" + std::u16string(70, u'b') + u"\u58C1@"},
        MixedCase{"LongAsciiRunAfterAPairWithAnAsciiSecondByte", "\x81@" + std::string(70, 'c'),
                  u"\u4E02" + std::u16string(70, u'c')}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CodePageTest, CharactersGbkLacksBecomeQuestionMarks) {
    EXPECT_EQ(Utf16ToGbk(u"\u0E01"), "?");  // Thai
    EXPECT_EQ(Utf16ToGbk(u"a\u0E01b"), "a?b");
}

TEST(CodePageTest, MultiByteToWideCharMeasuresThenFills) {
    const char* text = "你好a";
    int needed = MultiByteToWideChar(kCodePageGbk, 0, text, -1, nullptr, 0);
    EXPECT_EQ(needed, 4);  // three characters and the terminating zero
    std::u16string wide(needed, u'x');
    EXPECT_EQ(MultiByteToWideChar(kCodePageGbk, 0, text, -1, wide.data(), needed), 4);
    EXPECT_EQ(wide, std::u16string(u"你好a\0", 4));
    EXPECT_EQ(MultiByteToWideChar(kCodePageGbk, 0, text, 4, wide.data(), 4), 2);
}

TEST(CodePageTest, MultiByteToWideCharRejectsBadArguments) {
    char16_t buffer[4];
    EXPECT_EQ(MultiByteToWideChar(65001, 0, "a", 1, buffer, 4), 0);           // other code page
    EXPECT_EQ(MultiByteToWideChar(kCodePageGbk, 0, "abc", 3, buffer, 2), 0);  // too small
    EXPECT_EQ(MultiByteToWideChar(kCodePageGbk, 0, "abc", -2, buffer, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(kCodePageGbk, 0, nullptr, 3, buffer, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(kCodePageGbk, 0, "abc", 0, buffer, 4), 0);
}

TEST(CodePageTest, WideCharToMultiByteMeasuresFillsAndReportsReplacement) {
    const char16_t* wide = u"你\u0E01";
    bool usedDefault = false;
    int needed = WideCharToMultiByte(kCodePageGbk, kWcCompositeCheck, wide, 2, nullptr, 0, nullptr,
                                     &usedDefault);
    EXPECT_EQ(needed, 3);
    EXPECT_TRUE(usedDefault);
    std::string out(needed, '\0');
    EXPECT_EQ(WideCharToMultiByte(kCodePageGbk, kWcCompositeCheck, wide, 2, out.data(), needed,
                                  nullptr, nullptr),
              3);
    EXPECT_EQ(out, "你?");
    EXPECT_EQ(WideCharToMultiByte(kCodePageGbk, 0, wide, 2, out.data(), 2, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(kCodePageGbk, 0, wide, 2, out.data(), 3, "*", nullptr), 0);
}

TEST(CodePageTest, CompositeCheckComposesPinyinLetters) {
    auto convert = [](const std::u16string& wide, unsigned flags) {
        std::string out(16, '\0');
        int n = WideCharToMultiByte(kCodePageGbk, flags, wide.data(), static_cast<int>(wide.size()),
                                    out.data(), 16, nullptr, nullptr);
        out.resize(n > 0 ? n : 0);
        return out;
    };
    EXPECT_EQ(convert(u"ma\u0304", kWcCompositeCheck), "m\xA8\xA1");  // m + a-macron
    EXPECT_EQ(convert(u"ma\u0304", 0), "ma?");
    EXPECT_EQ(convert(u"x\u0304", kWcCompositeCheck), "x?");  // no such letter in GBK
    EXPECT_EQ(convert(u"\u0304a", kWcCompositeCheck), "?a");  // a mark with nothing before it
}

TEST(CodePageTest, ThreadsConvertIndependently) {
    // Each thread owns its descriptors; interleaved conversions must not disturb one another.
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &failures] {
            for (int i = 0; i < 500; ++i) {
                if (GbkToUtf16(t % 2 ? "你好" : "\x81") != (t % 2 ? u"你好" : u"?")) ++failures[t];
                if (Utf16ToGbk(u"壁纸") != "壁纸") ++failures[t];
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(failures, std::vector<int>(4, 0));
}

}  // namespace
}  // namespace lumeno::platform
