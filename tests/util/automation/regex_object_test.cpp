// RegexObject: the meta declaration cases, quote expansion, replacement, counts, positions,
// copies and the balance of the object runtime's initialisation.
#include "util/regex_object.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/com/runtime.h"

namespace lumeno {
namespace {

constexpr const char* kMetaPattern = "<meta.+?charset=[^\\w]?([-\\w]+)";

class RegexObjectTest : public testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(platform::CoInitializeCount(), 0); }
};

TEST_F(RegexObjectTest, UpperCaseMetaIsFoundByDefault) {
    RegexObject regex;
    EXPECT_TRUE(regex.Create(kMetaPattern, "<META charset=gb2312>"));
    EXPECT_EQ(regex.SubmatchText(1, 1), "gb2312");
    EXPECT_EQ(regex.MatchCount(), 1);
    EXPECT_EQ(regex.GetPattern(), kMetaPattern);
}

TEST_F(RegexObjectTest, NoMetaGivesAnEmptyCollection) {
    RegexObject regex;
    EXPECT_TRUE(regex.Create(kMetaPattern, "<html><head><title>壁纸</title>"));
    EXPECT_EQ(regex.MatchCount(), 0);
    EXPECT_EQ(regex.SubmatchText(1, 1), "");
    EXPECT_EQ(regex.MatchText(1), "");
    EXPECT_EQ(regex.SubmatchCount(), 0);
}

TEST_F(RegexObjectTest, UnbalancedParenthesisFails) {
    RegexObject regex;
    EXPECT_FALSE(regex.Create("(abc", "abc"));
    EXPECT_EQ(regex.MatchText(1), "");
    EXPECT_EQ(regex.MatchCount(), 0);
}

TEST_F(RegexObjectTest, QuotePlaceholderExpandsOnlyWhenAsked) {
    const Text subject = "<a href=\"/fengjing/1.html\">";
    const Text pattern = "href=#引号(.*?)#引号";
    RegexObject regex;
    EXPECT_TRUE(regex.Create(pattern, subject, false, true, true, true));
    EXPECT_EQ(regex.SubmatchText(1, 1), "/fengjing/1.html");
    EXPECT_TRUE(regex.Create(pattern, subject));
    EXPECT_EQ(regex.MatchCount(), 0);
    EXPECT_TRUE(regex.Create(pattern, "href=#引号x#引号"));
    EXPECT_EQ(regex.SubmatchText(1, 1), "x");
}

TEST_F(RegexObjectTest, ReplaceFollowsTheGlobalFlag) {
    RegexObject regex;
    regex.Create("a", "banana");
    EXPECT_EQ(regex.Replace("o"), "bonono");
    regex.Create("a", "banana", false, true, false);
    EXPECT_EQ(regex.Replace("o"), "bonana");
    regex.Create("(风)(景)", "大风景");
    EXPECT_EQ(regex.Replace("$2$1[$&]"), "大景风[风景]");
}

TEST_F(RegexObjectTest, CountsAndFlags) {
    RegexObject regex;
    regex.Create("(\\w)(\\d)", "a1 b2 c3");
    EXPECT_EQ(regex.SubmatchCount(), 2);
    EXPECT_EQ(regex.MatchCount(), 3);
    EXPECT_EQ(regex.MatchText(3), "c3");
    EXPECT_EQ(regex.SubmatchText(2, 2), "2");
    EXPECT_EQ(regex.SubmatchText(2, 3), "");  // no such group
    EXPECT_EQ(regex.MatchText(4), "");
    EXPECT_EQ(regex.MatchText(0), "");
    regex.Create("A", "aA", true);  // case-sensitive
    EXPECT_EQ(regex.MatchCount(), 1);
    regex.Create("^b", "a\nb", false, false);  // not multi-line
    EXPECT_EQ(regex.MatchCount(), 0);
    regex.Create("^b", "a\nb");
    EXPECT_EQ(regex.MatchCount(), 1);
    regex.Create("a.b", "a\nb");  // the dot never crosses a line feed
    EXPECT_EQ(regex.MatchCount(), 0);
}

TEST_F(RegexObjectTest, PositionsAreByteOffsets) {
    RegexObject regex;
    // Each Chinese character is one character to the engine but two bytes in the subject.
    regex.Create("x(\\d+)", "壁纸x12 风景x345");
    int position = -7;
    EXPECT_EQ(regex.MatchText(1, &position), "x12");
    EXPECT_EQ(position, -7);  // not asked for
    EXPECT_EQ(regex.MatchText(1, &position, true), "x12");
    EXPECT_EQ(position, 4);
    EXPECT_EQ(regex.MatchText(2, &position, true), "x345");
    EXPECT_EQ(position, 12);
    EXPECT_EQ(regex.SubmatchText(2, 1, &position, true), "345");
    EXPECT_EQ(position, 13);
}

TEST_F(RegexObjectTest, GroupPositionIsWhereTheGroupItselfMatched) {
    struct Case {
        const char* pattern;
        Text subject;
        int match, group;
        const char* text;
        int position;
    };
    const Case cases[] = {
        {"a(a)", "aa", 1, 1, "a", 1},  // the same text stands earlier in the match
        {"(a)a", "aa", 1, 1, "a", 0},
        {"(a)|b(a)", "ba", 1, 2, "a", 1},
        {"(?:x(\\d))+", "x1x2", 1, 1, "2", 3},       // the last repetition's text
        {"风(景)", "风景", 1, 1, "景", 2},           // byte offsets, not characters
        {"(a)(b)\\2", "zabb", 1, 2, "b", 2},         // back-references keep their groups
        {"(a)\\2", Text("a\x02", 2), 1, 1, "a", 0},  // \2 is a character code here
        {"(x)(y)", "xy xy", 2, 2, "y", 4},
        {"([-\\w])+", "ab-c", 1, 1, "c", 3},              // a repeated group: its last repetition
        {"(a|b)+", "ab", 1, 1, "b", 1},                   // ... whichever alternative it took
        {"((a)b)+", "abab", 1, 2, "a", 2},                // nested in a repeated group
        {"(a)(b)\\1\\2", "zabab", 1, 1, "a", 1},          // back-references after the group
        {"(a)\\9()()()()()()()(c)", "ac", 1, 1, "a", 0},  // a reference to a later group
        {"(a)\\1013", "aA3", 1, 1, "a", 0},               // an octal code then a digit
        {"\\((b)\\)[(](c)", "(b)(c", 1, 2, "c", 4},       // parentheses that open no group
        {"\\Q(a)\\E\\k(b)", "QaEkb", 1, 2, "b", 4},       // escapes that are the letter itself
        {"a()", "ba", 1, 1, "", 2},                       // an empty group that took part
        {"(a)|(b)", "b", 1, 1, "", -1},                   // a group that did not take part
        {"(a)", "a", 2, 1, "", -1},                       // no such match
        {"(a)", "a", 1, 2, "", -1},                       // no such group
    };
    for (const Case& c : cases) {
        RegexObject regex;
        ASSERT_TRUE(regex.Create(c.pattern, c.subject)) << c.pattern;
        int position = -7;
        EXPECT_EQ(regex.SubmatchText(c.match, c.group, &position, true), c.text) << c.pattern;
        EXPECT_EQ(position, c.position) << c.pattern;
    }
}

TEST_F(RegexObjectTest, CopySharesMatchesAndKeepsItsOwnInitialisation) {
    RegexObject regex;
    regex.Create("(\\d)", "1 2");
    {
        RegexObject copy = regex.Copy();
        EXPECT_EQ(platform::CoInitializeCount(), 2);
        EXPECT_EQ(copy.MatchCount(), 2);
        EXPECT_EQ(copy.SubmatchText(2, 1), "2");
        EXPECT_EQ(copy.Replace("<$1>"), "<1> <2>");
        copy.Destroy();
        EXPECT_EQ(copy.MatchCount(), 0);
    }
    EXPECT_EQ(platform::CoInitializeCount(), 1);
    EXPECT_EQ(regex.MatchText(1), "1");
}

TEST_F(RegexObjectTest, DestroyBalancesOnceAndTheDestructorOnlyWhenNeeded) {
    {
        RegexObject regex;
        EXPECT_EQ(platform::CoInitializeCount(), 1);
        regex.Create("a", "a");
        regex.Destroy();
        EXPECT_EQ(platform::CoInitializeCount(), 0);
        regex.Destroy();  // a second Destroy does not undo someone else's initialisation
        EXPECT_EQ(platform::CoInitializeCount(), 0);
        EXPECT_EQ(regex.MatchCount(), 0);
    }
    EXPECT_EQ(platform::CoInitializeCount(), 0);
    {
        RegexObject regex;
        regex.Create("a", "a");
    }
    EXPECT_EQ(platform::CoInitializeCount(), 0);
}

TEST_F(RegexObjectTest, UsableAgainAfterDestroy) {
    RegexObject regex;
    regex.Destroy();
    EXPECT_TRUE(regex.Create("b", "abc"));
    EXPECT_EQ(regex.MatchText(1), "b");
    EXPECT_EQ(platform::CoInitializeCount(), 1);
}

TEST_F(RegexObjectTest, NestedInsideAnOuterInitialisation) {
    InitializeObjectThread();
    {
        RegexObject regex;
        EXPECT_TRUE(regex.Create("a", "a"));
    }
    EXPECT_EQ(platform::CoInitializeCount(), 1);
    UninitializeObjectThread();
}

TEST_F(RegexObjectTest, ObjectMadeOnOneThreadFailsCleanlyOnAnother) {
    RegexObject regex;
    ASSERT_TRUE(regex.Create("(a)", "aaa"));
    int count = -1;
    Text text = "untouched";
    bool created = true;
    std::thread([&] {
        count = regex.MatchCount();
        text = regex.SubmatchText(1, 1);
        created = regex.Create("b", "b");  // its own thread is not initialised
    }).join();
    EXPECT_EQ(count, 0);
    EXPECT_EQ(text, "");
    EXPECT_FALSE(created);
    EXPECT_EQ(platform::CoInitializeCount(), 1);
}

TEST_F(RegexObjectTest, WorkersEachUseTheirOwnObject) {
    std::vector<std::thread> workers;
    std::vector<Text> found(4);
    std::vector<int> leftInitialised(4, -1);
    for (int i = 0; i < 4; ++i) {
        workers.emplace_back([i, &found, &leftInitialised] {
            {
                RegexObject regex;
                for (int n = 0; n < 50; ++n)
                    regex.Create("charset=([-\\w]+)",
                                 "<meta charset=utf-" + std::to_string(i) + ">");
                found[i] = regex.SubmatchText(1, 1);
            }
            leftInitialised[i] = platform::CoInitializeCount();
        });
    }
    for (auto& worker : workers) worker.join();
    EXPECT_EQ(found, (std::vector<Text>{"utf-0", "utf-1", "utf-2", "utf-3"}));
    EXPECT_EQ(leftInitialised, std::vector<int>(4, 0));
}

}  // namespace
}  // namespace lumeno
