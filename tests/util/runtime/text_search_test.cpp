// FindText, FindTextLast, ReplaceText and SplitText: positions, clamping, case rules and the
// stepping over GBK double-byte pairs.
#include "util/runtime_services.h"

#include <gtest/gtest.h>

#include <string>

namespace lumeno {
namespace {

struct FindCase {
    const char* name;
    Text text;
    Text what;
    int start;
    bool ignoreCase;
    int expected;
};

class FindTextTable : public testing::TestWithParam<FindCase> {};

TEST_P(FindTextTable, Position) {
    const FindCase& c = GetParam();
    EXPECT_EQ(FindText(c.text, c.what, c.start, c.ignoreCase), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindTextTable,
    testing::Values(
        FindCase{"first", "abcabc", "c", 1, false, 3},
        FindCase{"from4", "abcabc", "c", 4, false, 6},
        FindCase{"beyond", "abcabc", "c", 7, false, -1},
        FindCase{"startBelowOne", "abcabc", "a", -5, false, 1},
        FindCase{"startZero", "abcabc", "b", 0, false, 2},
        FindCase{"emptyWhat", "abc", "", 1, false, 1},
        FindCase{"emptyWhatLaterStart", "abc", "", 3, false, 1},
        FindCase{"emptyWhatBeyond", "abc", "", 4, false, -1},
        FindCase{"emptyWhatEmptyText", "", "", 1, false, -1},
        FindCase{"emptyText", "", "a", 1, false, -1},
        FindCase{"notFound", "abc", "d", 1, false, -1},
        FindCase{"whatLonger", "ab", "abc", 1, false, -1},
        FindCase{"atEnd", "abc", "bc", 1, false, 2},
        FindCase{"secondByteSkipped",
                 "\xB0"
                 "aa",
                 "a", 1, false, 3},
        FindCase{"secondByteSkippedIgnoreCase",
                 "\xB0"
                 "aa",
                 "A", 1, true, 3},
        FindCase{"startOnSecondByte",
                 "\xB0"
                 "aa",
                 "a", 2, false, 3},
        FindCase{"pairRunOdd",
                 "\xB0\xB1\xB2\xB3"
                 "a",
                 "a", 1, false, 5},
        FindCase{"pairsThenTrail",
                 "\xB0\xB1\xB2"
                 "aa",
                 "a", 1, false, 5},
        FindCase{"pairMatch", "x\xC4\xE3\xBA\xC3", "\xBA\xC3", 1, false, 4},
        FindCase{"pairStraddle", "\xC4\xE3\xBA\xC3", "\xE3\xBA", 1, false, -1},
        FindCase{"ignoreCase", "Accept: x", "accept:", 1, true, 1},
        FindCase{"caseSensitive", "Accept: x", "accept:", 1, false, -1},
        FindCase{"ignoreCaseLater", "xxSET-COOKIE: a", "Set-Cookie:", 1, true, 3},
        FindCase{"ignoreCaseNoLetters", "a<1>b", "<1>", 1, true, 2},
        FindCase{"ignoreCaseNonLetterFirst", "<IMG <img", "<img", 2, true, 6},
        // A double-byte character whose second byte is an ASCII letter compares exactly.
        FindCase{"ignoreCasePairExact",
                 "\xB0"
                 "a",
                 "\xB0"
                 "A",
                 1, true, -1},
        FindCase{"chinese", "温馨提示 - ", "提示", 1, false, 5}));

TEST(FindTextLast, RegionAndStepping) {
    EXPECT_EQ(FindTextLast("a.b.c", "."), 4);
    EXPECT_EQ(FindTextLast("a.b.c", ".", 4), 2);
    EXPECT_EQ(FindTextLast("a.b.c", ".", 1), -1);
    EXPECT_EQ(FindTextLast("a.b.c", ".", -3), -1);
    EXPECT_EQ(FindTextLast("a.b.c", ".", 100), 4);
    // The match must lie wholly inside the region.
    EXPECT_EQ(FindTextLast("abab", "ab", 4), 1);
    EXPECT_EQ(FindTextLast("abab", "ab", 5), 3);
    EXPECT_EQ(FindTextLast("abc", ""), 1);
    EXPECT_EQ(FindTextLast("", ""), -1);
    EXPECT_EQ(FindTextLast("aaa", "aa"), 2);
    EXPECT_EQ(FindTextLast("a\xB0"
                           "a",
                           "a"),
              1);
    EXPECT_EQ(FindTextLast("X-A: x-a: ", "x-a: ", kWholeText, true), 6);
    EXPECT_EQ(FindTextLast("X-A: x-a: ", "X-A: ", kWholeText, false), 1);
}

struct ReplaceCase {
    const char* name;
    Text text;
    Text find;
    Text replacement;
    int start;
    int count;
    bool caseSensitive;
    Text expected;
};

class ReplaceTextTable : public testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceTextTable, Result) {
    const ReplaceCase& c = GetParam();
    EXPECT_EQ(ReplaceText(c.text, c.find, c.replacement, c.start, c.count, c.caseSensitive),
              c.expected)
        << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplaceTextTable,
    testing::Values(
        ReplaceCase{"defaultIgnoresCase", "aXa", "x", "", 1, kAllOccurrences, false, "aa"},
        ReplaceCase{"caseSensitive", "aXa", "x", "", 1, kAllOccurrences, true, "aXa"},
        ReplaceCase{"noOverlap", "aaa", "aa", "b", 1, kAllOccurrences, false, "ba"},
        ReplaceCase{"fromStart2", "aaa", "aa", "b", 2, kAllOccurrences, false, "ab"},
        ReplaceCase{"countOne", "a-a-a", "-", "+", 1, 1, false, "a+a-a"},
        ReplaceCase{"countZero", "a-a-a", "-", "+", 1, 0, false, "a-a-a"},
        ReplaceCase{"negativeCountAll", "a-a-a", "-", "+", 1, -7, false, "a+a+a"},
        ReplaceCase{"emptyFind", "abc", "", "x", 1, kAllOccurrences, false, "abc"},
        ReplaceCase{"emptyText", "", "a", "x", 1, kAllOccurrences, false, ""},
        ReplaceCase{"startAtLength", "abc", "c", "x", 3, kAllOccurrences, false, "abx"},
        ReplaceCase{"startBeyond", "abc", "c", "x", 4, kAllOccurrences, false, "abc"},
        ReplaceCase{"startBelowOne", "abc", "a", "x", -2, kAllOccurrences, false, "xbc"},
        ReplaceCase{"longerReplacement", "a,b", ",", "<->", 1, kAllOccurrences, false, "a<->b"},
        ReplaceCase{"secondByteUntouched",
                    "\xB0"
                    "aa",
                    "a", "", 1, kAllOccurrences, true,
                    "\xB0"
                    "a"},
        ReplaceCase{"quotePlaceholder", "src=#引号", "#引号", "\"", 1, kAllOccurrences, true,
                    "src=\""},
        ReplaceCase{"chinese", "温馨提示 - 温馨", "温馨", "", 1, kAllOccurrences, false,
                    "提示 - "}));

TEST(SplitText, PiecesAndLimits) {
    EXPECT_EQ(SplitText("a,,b,"), (TextArray{"a", "", "b"}));
    EXPECT_EQ(SplitText("a,b,c", ",", 2), (TextArray{"a", "b"}));
    EXPECT_EQ(SplitText("a,b,c", ",", 3), (TextArray{"a", "b", "c"}));
    EXPECT_EQ(SplitText("a,b,c", ",", 9), (TextArray{"a", "b", "c"}));
    EXPECT_EQ(SplitText("a,b,c", ",", 0), TextArray{});
    EXPECT_EQ(SplitText("a,b,c", ",", -3), TextArray{});
    EXPECT_EQ(SplitText(""), TextArray{});
    EXPECT_EQ(SplitText("a,b", ""), TextArray{"a,b"});
    EXPECT_EQ(SplitText(",", ","), TextArray{""});
    EXPECT_EQ(SplitText("abc", ","), TextArray{"abc"});
    EXPECT_EQ(SplitText("h1\r\n\r\nh2\r\n", "\r\n"), (TextArray{"h1", "", "h2"}));
    EXPECT_EQ(SplitText("a; b; ", "; "), (TextArray{"a", "b"}));
    // The delimiter matches exactly, never on the second byte of a pair.
    EXPECT_EQ(SplitText("aXbxc", "x"), (TextArray{"aXb", "c"}));
    EXPECT_EQ(SplitText("\xB0,x,y", ","), (TextArray{"\xB0,x", "y"}));
}

TEST(GbkLiterals, AreGbkBytesAtRunTime) {
    const Text hint = "温馨提示 - ";
    const std::string expected = "\xCE\xC2\xDC\xB0\xCC\xE1\xCA\xBE\x20\x2D\x20";
    EXPECT_EQ(hint, expected);
    EXPECT_EQ(TextLength(hint), 11);
}

// Long inputs exercise the boundary tracking across many candidates.
TEST(FindText, LongDoubleByteRuns) {
    Text text;
    for (int i = 0; i < 10000; ++i) text += "\xB0\xA1";
    text += "\xA1";  // the second byte of the last pair plus this byte look like A1 A1
    EXPECT_EQ(FindText(text, "\xA1\xA1"), -1);
    text += "\xA1";
    EXPECT_EQ(FindText(text, "\xA1\xA1"), 20001);
    EXPECT_EQ(FindTextLast(text, "\xB0\xA1"), 19999);
    EXPECT_EQ(SplitText(text, "\xA1\xA1").Count(), 1);
    // Only the A1 that starts the final pair matches; the one after it is a second byte.
    EXPECT_EQ(ReplaceText(text, "\xA1", "", 1, kAllOccurrences, true).size(), 20001u);
}

}  // namespace
}  // namespace lumeno
