// Cookie jar merging by name, deletion markers, duplicate removal and the in/out parameters.
#include <gtest/gtest.h>

#include "http/cookies.h"

namespace lumeno {
namespace {

struct MergeCase {
    const char* name;
    Text oldJar;
    Text newCookies;
    Text expected;
};

class MergeCookiesTest : public testing::TestWithParam<MergeCase> {};

TEST_P(MergeCookiesTest, MergesAndLeavesResultInOldJar) {
    Text oldJar = GetParam().oldJar;
    Text newCookies = GetParam().newCookies;
    EXPECT_EQ(MergeCookies(oldJar, newCookies), GetParam().expected);
    EXPECT_EQ(oldJar, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, MergeCookiesTest,
    testing::Values(MergeCase{"NewValueWinsOldCarriedOver", "sid=abc; lang=en",
                              "sid=xyz; theme=dark", "sid=xyz; theme=dark; lang=en"},
                    MergeCase{"DeletionMarkerRemovesBothSides", "sid=abc; lang=en", "sid=deleted",
                              "lang=en"},
                    MergeCase{"FinalSemicolonBecomesSeparator", "a=1;", "", "a=1"},
                    MergeCase{"FirstOfRepeatedOldNamesSurvives", "a=1; a=2", "b=3", "b=3; a=1"},
                    MergeCase{"ExactDuplicatesInNewCookiesOnce", "", "x=1; x=1; x=2", "x=1; x=2"},
                    MergeCase{"NamesAreCaseSensitive", "SID=1", "sid=2", "sid=2; SID=1"},
                    MergeCase{"BareSemicolonDoesNotSeparate", "a=1;b=2", "a=5", "a=5"},
                    MergeCase{"BothEmpty", "", "", ""}),
    [](const testing::TestParamInfo<MergeCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, MergeCookiesTest,
    testing::Values(
        MergeCase{"ValueContainingDeletedIsKept", "", "note=undeleted", "note=undeleted"},
        MergeCase{"MarkerIsCaseSensitive", "x=1", "x=DELETED", "x=DELETED"},
        MergeCase{"MarkerInOldJarDisappears", "a=deleted; b=1", "", "b=1"},
        MergeCase{"ExtraSpaceBeforeNameStillMatches", "a=1;  b=2", "b=3", "b=3; a=1"},
        MergeCase{"ExtraSpaceKeptInEntryText", "a=1", "x=1;  b=3", "x=1;  b=3; a=1"},
        MergeCase{"TabIsNotASpace", "a\t=1", "a=2", "a=2; a\t=1"},
        MergeCase{"TwoValuesForOneNameInNewBothStay", "x=0", "x=1; x=2", "x=1; x=2"},
        MergeCase{"EntryWithoutEqualsNamedByWholeText", "flag; a=1", "flag", "flag; a=1"},
        MergeCase{"EmptyPieceSurvivesBetweenSeparators", "a=1; ; b=2", "", "a=1; ; b=2"},
        MergeCase{"SurroundingSpacesTrimmed", "  a=1  ", " b=2; ", "b=2; a=1"},
        MergeCase{"FullWidthSpacesTrimmed",
                  "\xA1\xA1"
                  "a=1\xA1\xA1",
                  "", "a=1"},
        MergeCase{"OnlySeparatorGivesEmpty", "", "; ", ""},
        MergeCase{"DoubleByteValuesCarried", "n=\xC4\xE3\xBA\xC3", "m=1",
                  "m=1; n=\xC4\xE3\xBA\xC3"}),
    [](const testing::TestParamInfo<MergeCase>& info) { return std::string(info.param.name); });

TEST(MergeCookiesParametersTest, NewCookiesLeftInTidiedForm) {
    Text oldJar = "a=1";
    Text newCookies = "  b=2;  ";
    MergeCookies(oldJar, newCookies);
    EXPECT_EQ(newCookies, "b=2; ");
    EXPECT_EQ(oldJar, "b=2; a=1");
}

TEST(MergeCookiesParametersTest, SameVariableForBothMergesWithItself) {
    Text jar = "a=1; b=2; a=3";
    const Text merged = MergeCookies(jar, jar);
    EXPECT_EQ(merged, "a=1; b=2; a=3");
    EXPECT_EQ(jar, merged);
}

TEST(MergeCookiesParametersTest, RepeatedMergesCarryTheJarForward) {
    Text jar = "sid=1";
    Text first = "lang=en";
    jar = MergeCookies(jar, first);
    Text second = "sid=2";
    MergeCookies(jar, second);
    EXPECT_EQ(jar, "sid=2; lang=en");
}

struct DuplicateCase {
    const char* name;
    Text text;
    Text separator;
    Text expected;
};

class RemoveDuplicateEntriesTest : public testing::TestWithParam<DuplicateCase> {};

TEST_P(RemoveDuplicateEntriesTest, KeepsFirstOfEqualEntries) {
    EXPECT_EQ(RemoveDuplicateEntries(GetParam().text, GetParam().separator), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RemoveDuplicateEntriesTest,
    testing::Values(DuplicateCase{"Empty", "", "; ", ""},
                    DuplicateCase{"NoDuplicates", "a; b", "; ", "a; b"},
                    DuplicateCase{"LaterRepeatDropped", "a; b; a; c; b", "; ", "a; b; c"},
                    DuplicateCase{"ByteEqualOnly", "a; A; a ", "; ", "a; A; a "},
                    DuplicateCase{"TrailingSeparatorDropped", "a; a; ", "; ", "a"},
                    DuplicateCase{"EmptyPiecesCollapseToOne", "a; ; ; b", "; ", "a; ; b"},
                    DuplicateCase{"OtherSeparator", "x,y,x", ",", "x,y"},
                    DuplicateCase{"EmptySeparatorKeepsText", "a;a", "", "a;a"}),
    [](const testing::TestParamInfo<DuplicateCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lumeno
