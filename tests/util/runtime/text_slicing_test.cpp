// TextBetween, AllTextsBetween (with a counting message pump), ReplaceMany, DropRight,
// JoinTexts, CompareTextBytes and ArrayCount.
#include "util/text_slicing.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace lumeno {
namespace {

struct BetweenCase {
    const char* name;
    Text text;
    Text left;
    Text right;
    int start;
    bool ignoreCase;
    Text expected;
};

class TextBetweenTable : public testing::TestWithParam<BetweenCase> {};

TEST_P(TextBetweenTable, Result) {
    const BetweenCase& c = GetParam();
    EXPECT_EQ(TextBetween(c.text, c.left, c.right, c.start, c.ignoreCase), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextBetweenTable,
    testing::Values(
        BetweenCase{"first", "<p>x</p><p>y</p>", "<p>", "</p>", 1, false, "x"},
        BetweenCase{"fromStart5", "<p>x</p><p>y</p>", "<p>", "</p>", 5, false, "y"},
        BetweenCase{"leftMissing", "<p>x</p><p>y</p>", "<b>", "</p>", 1, false, ""},
        BetweenCase{"rightMissing", "<p>x</p><p>y</p>", "<p>", "<i>", 1, false, ""},
        BetweenCase{"adjacentMarkers", "ab<>cd", "<", ">", 1, false, ""},
        BetweenCase{"quotePlaceholder", "<img src=\"a.png\">", "src=#引号", "#引号", 1, false,
                    "a.png"},
        BetweenCase{"ignoreCase", "SET-COOKIE: a=1\r\n", "Set-Cookie:", "\r\n", 1, true, " a=1"},
        BetweenCase{"caseSensitiveMiss", "SET-COOKIE: a=1\r\n", "Set-Cookie:", "\r\n", 1, false,
                    ""},
        BetweenCase{"emptyLeftIgnoresStart", "ab|cd|", "", "|", 4, false, "ab"},
        BetweenCase{"emptyRight", "ab|cd|", "a", "", 1, false, ""},
        BetweenCase{"chinese", "温馨提示 - 开始爬虫", "提示", "爬虫", 1, false, " - 开始"},
        BetweenCase{"emptyText", "", "<", ">", 1, false, ""}));

struct Collected {
    TextArray results;
    int count = 0;
    int pumps = 0;
};

Collected Collect(const Text& text, const Text& left, const Text& right,
                  const BetweenOptions& options = {}) {
    Collected c;
    c.count = CollectTextsBetween(text, left, right, c.results, options, [&c] { ++c.pumps; });
    return c;
}

const Text kQuote = "\"";

TEST(AllTextsBetween, ImageSourcesWithPrefix) {
    BetweenOptions options;
    options.prefix = "base";
    const Collected c =
        Collect("<img src=\"/a.jpg\"><img src=\"/b.jpg\">", "<img src=" + kQuote, kQuote, options);
    EXPECT_EQ(c.count, 2);
    EXPECT_EQ(c.results, (TextArray{"base/a.jpg", "base/b.jpg"}));
    EXPECT_EQ(c.pumps, 6);
}

TEST(AllTextsBetween, NestedLeftMarkersGiveShorterPieces) {
    const Collected c = Collect("[a[b]c]", "[", "]");
    EXPECT_EQ(c.results, (TextArray{"a[b", "b"}));
}

TEST(AllTextsBetween, EmptyPieceBecomesPrefixAndSuffix) {
    BetweenOptions options;
    options.prefix = "base";
    const Collected c = Collect("<img src=\"\">", "<img src=" + kQuote, kQuote, options);
    EXPECT_EQ(c.results, TextArray{"base"});
}

TEST(AllTextsBetween, KeepMarkersAndMaxLength) {
    BetweenOptions options;
    options.prefix = "(";
    options.suffix = ")";
    options.keepLeftMarker = true;
    options.keepRightMarker = true;
    EXPECT_EQ(Collect("<a>xy</a><a>z</a>", "<a>", "</a>", options).results,
              (TextArray{"<a>(xy)</a>", "<a>(z)</a>"}));
    // "<a>(z)</a>" is 10 bytes: kept only below a limit of 11; pumping goes on regardless.
    options.maxLength = 11;
    const Collected limited = Collect("<a>xy</a><a>z</a>", "<a>", "</a>", options);
    EXPECT_EQ(limited.results, TextArray{"<a>(z)</a>"});
    EXPECT_EQ(limited.count, 1);
    EXPECT_EQ(limited.pumps, 6);
    options.maxLength = 10;
    EXPECT_EQ(Collect("<a>xy</a><a>z</a>", "<a>", "</a>", options).count, 0);
}

TEST(AllTextsBetween, StartIgnoreCaseAndMissingMarkers) {
    BetweenOptions options;
    options.start = 4;
    EXPECT_EQ(Collect("<b>1<b>2<b>", "<b>", "<b>", options).results, TextArray{"2"});
    options.start = 1;
    options.ignoreCase = true;
    EXPECT_EQ(Collect("<B>1</b><b>2</B>", "<b>", "</b>", options).results, (TextArray{"1", "2"}));
    const Collected none = Collect("<b>1", "<b>", "</b>");
    EXPECT_EQ(none.count, 0);
    EXPECT_EQ(none.pumps, 0);
    EXPECT_EQ(Collect("", "<b>", "</b>").count, 0);
}

TEST(AllTextsBetween, EmptyLeftMarkerEndsTheCollection) {
    const Collected c = Collect("ab|cd|", "", "|");
    EXPECT_EQ(c.results, TextArray{"ab"});
    EXPECT_EQ(Collect("abcd", "", "|").count, 0);
}

TEST(AllTextsBetween, EmptyRightMarkerGivesEmptyPieces) {
    EXPECT_EQ(Collect("<a>x<a>y", "<a>", "").results, (TextArray{"", ""}));
}

TEST(AllTextsBetween, ClearsPreviousResultsAndSkipsSecondBytes) {
    TextArray results{"old"};
    // "\xB0[" is one double-byte character: its second byte is no left marker.
    EXPECT_EQ(CollectTextsBetween("\xB0[x][y]", "[", "]", results, {}, [] {}), 1);
    EXPECT_EQ(results, TextArray{"y"});
}

TEST(AllTextsBetween, PublicFormPumpsTheCallingThread) {
    TextArray results;
    EXPECT_EQ(AllTextsBetween("<i>1</i><i>2</i>", "<i>", "</i>", results, false, 0, "p"), 2);
    EXPECT_EQ(results, (TextArray{"p1", "p2"}));
}

TEST(ReplaceMany, ChainsPasses) {
    EXPECT_EQ(ReplaceMany("a-b_c", "-", "+", "_", "="), "a+b=c");
    // Each pass works on the previous result.
    EXPECT_EQ(ReplaceMany("ab", "a", "b", "b", "c"), "cc");
    EXPECT_EQ(ReplaceMany("smallsmall", "SMALL", ""), "");
    EXPECT_EQ(ReplaceMany("a-a-a", "-", "+", "a", "b", {}, {}, {}, {}, {}, {}, 1), "b+a-a");
    EXPECT_EQ(ReplaceMany("aaa", "a", "b", {}, {}, {}, {}, {}, {}, {}, {}, kAllOccurrences, 0),
              "bbb");
    EXPECT_EQ(ReplaceMany("aaa", "a", "b", {}, {}, {}, {}, {}, {}, {}, {}, kAllOccurrences, 2),
              "abb");
    EXPECT_EQ(ReplaceMany("aXa", "x", "", {}, {}, {}, {}, {}, {}, {}, {}, kAllOccurrences, 1, true),
              "aXa");
}

TEST(DropRight, Bytes) {
    EXPECT_EQ(DropRight("abcdef", 2), "abcd");
    EXPECT_EQ(DropRight("abc", 3), "");
    EXPECT_EQ(DropRight("abc", 9), "");
    EXPECT_EQ(DropRight("abc", 0), "abc");
    EXPECT_EQ(DropRight("abc", -2), "abc");
}

TEST(JoinTexts, AnyNumberOfParts) {
    const Text missing;
    EXPECT_EQ(JoinTexts(missing, "b"), "b");
    EXPECT_EQ(JoinTexts(Text("a"), "b", Text("c"), "", "d"), "abcd");
    EXPECT_EQ(JoinTexts("读取 ", Text("x")), "读取 x");
}

TEST(CompareTextBytes, UnsignedAndShorterFirst) {
    EXPECT_EQ(CompareTextBytes(Text(), ""), 0);
    EXPECT_EQ(CompareTextBytes("a", "ab"), -1);
    EXPECT_EQ(CompareTextBytes("ab", "a"), 1);
    EXPECT_EQ(CompareTextBytes("\xB0", "a"), 1);
    EXPECT_EQ(CompareTextBytes("abc", "abd"), -1);
    EXPECT_EQ(CompareTextBytes("Abc", "abc"), -1);
    EXPECT_EQ(CompareTextBytes("same", "same"), 0);
}

TEST(ArrayCount, Elements) {
    EXPECT_EQ(ArrayCount({}), 0);
    EXPECT_EQ(ArrayCount(TextArray{"a", ""}), 2);
}

}  // namespace
// The pieces seen in place are the pieces SplitText copies out, pairs and empty pieces
// included; the walk stops when told to.
TEST(VisitSplitPieces, SeesWhatSplitTextGives) {
    const Text texts[] = {"",           "a",        "a\r\n",        "\r\nA",
                          "a\r\n\r\nb", "\r\n\r\n", "a: \xB0\r\nb", "\xB0\xA1\r\n\xB0"};
    for (const Text& text : texts) {
        std::vector<Text> seen;
        VisitSplitPieces(text, "\r\n", [&seen](std::string_view piece) {
            seen.emplace_back(piece);
            return true;
        });
        const TextArray split = SplitText(text, "\r\n");
        ASSERT_EQ(static_cast<int>(seen.size()), split.Count()) << text;
        for (int i = 0; i < split.Count(); ++i) EXPECT_EQ(seen[i], split[i + 1]) << text;
    }
    int calls = 0;
    VisitSplitPieces("a,b,c", ",", [&calls](std::string_view piece) {
        ++calls;
        return piece != "b";
    });
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(TrimSpacesView(" \xA1\xA1x y\xA1\xA1 "), "x y");
}

}  // namespace lumeno
