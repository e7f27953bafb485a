// Cuts, trimming, case, comparison and single-character operations.
#include "util/runtime_services.h"

#include <gtest/gtest.h>

namespace lumeno {
namespace {

struct CutCase {
    const char* name;
    Text actual;
    Text expected;
};

class CutTable : public testing::TestWithParam<CutCase> {};

TEST_P(CutTable, Result) {
    EXPECT_EQ(GetParam().actual, GetParam().expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CutTable,
    testing::Values(
        CutCase{"mid", MidText("hello", 2, 3), "ell"},
        CutCase{"midCutAtEnd", MidText("hello", 5, 9), "o"},
        CutCase{"midBeyond", MidText("hello", 6, 1), ""},
        CutCase{"midStartZero", MidText("hello", 0, 2), ""},
        CutCase{"midCountZero", MidText("hello", 1, 0), ""},
        CutCase{"midCountNegative", MidText("hello", 1, -1), ""},
        CutCase{"leftLonger", LeftText("abc", 5), "abc"}, CutCase{"left", LeftText("abc", 2), "ab"},
        CutCase{"leftNegative", LeftText("abc", -1), ""},
        CutCase{"rightZero", RightText("abc", 0), ""}, CutCase{"right", RightText("abc", 2), "bc"},
        CutCase{"rightLonger", RightText("abc", 9), "abc"},
        CutCase{"leftCutsPair", LeftText("\xB0\xA1", 1), "\xB0"},
        CutCase{"trimFullWidth", TrimSpaces("\xA1\xA1 a b \xA1\xA1"), "a b"},
        CutCase{"trimKeepsTab", TrimSpaces("\ta "), "\ta"},
        CutCase{"trimKeepsCrLf", TrimSpaces(" a\r\n"), "a\r\n"},
        CutCase{"trimAllSpaces", TrimSpaces(" \xA1\xA1  "), ""},
        CutCase{"trimEmpty", TrimSpaces(""), ""},
        // B0 A1 is one character; the A1 A1 it seems to form is not a space.
        CutCase{"trimNotStraddling", TrimSpaces("\xB0\xA1\xA1"), "\xB0\xA1\xA1"},
        // A 20 that is the second byte of a pair is no space either.
        CutCase{"trimKeepsPairEndingIn20", TrimSpaces(" a\x81 "), "a\x81 "},
        CutCase{"upper", UpperText("content-type"), "CONTENT-TYPE"},
        CutCase{"upperSkipsPairs",
                UpperText("\xB0"
                          "ab"),
                "\xB0"
                "aB"},
        CutCase{"upperEmpty", UpperText(""), ""}, CutCase{"charFromCode", CharFromCode(0x41), "A"},
        CutCase{"charFromCodeHigh", CharFromCode(0xB0), "\xB0"},
        CutCase{"charFromCodeZero", CharFromCode(0), ""}));

TEST(CompareText, OrderAndCase) {
    EXPECT_EQ(CompareText("abc", "abc", true), 0);
    EXPECT_LT(CompareText("abc", "abd", true), 0);
    EXPECT_GT(CompareText("abd", "abc", true), 0);
    EXPECT_LT(CompareText("ab", "abc", true), 0);
    EXPECT_GT(CompareText("abc", "ab", true), 0);
    EXPECT_EQ(CompareText("", "", true), 0);
    EXPECT_EQ(CompareText("Location: ", "location: ", false), 0);
    EXPECT_NE(CompareText("Location: ", "location: ", true), 0);
    // Bytes compare unsigned: a double-byte character sorts after ASCII.
    EXPECT_GT(CompareText("\xB0", "a", true), 0);
    // The second byte of a pair is never folded.
    EXPECT_NE(CompareText("\xB0"
                          "A",
                          "\xB0"
                          "a",
                          false),
              0);
}

TEST(CharCodeAt, SignedByteOrZero) {
    EXPECT_EQ(CharCodeAt("\xB0"), -80);
    EXPECT_EQ(CharCodeAt("ab", 2), 'b');
    EXPECT_EQ(CharCodeAt("ab", 0), 0);
    EXPECT_EQ(CharCodeAt("ab", 3), 0);
    EXPECT_EQ(CharCodeAt(""), 0);
    EXPECT_EQ(TextLength(""), 0);
    EXPECT_EQ(TextLength("\xB0\xA1x"), 3);
}

}  // namespace
}  // namespace lumeno
