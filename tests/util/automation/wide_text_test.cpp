// TextToWide / WideToText at the wide-string boundary.
#include "util/wide_text.h"

#include <gtest/gtest.h>

namespace lumeno {
namespace {

TEST(WideTextTest, TextToWideAddsTheTerminatingZero) {
    EXPECT_EQ(TextToWide("A你"), (ByteSet{0x41, 0x00, 0x60, 0x4F, 0x00, 0x00}));
    EXPECT_TRUE(TextToWide("").empty());
    EXPECT_EQ(TextToWide("\x81"), (ByteSet{'?', 0, 0, 0}));
}

struct WideCase {
    const char* name;
    ByteSet bytes;
    Text expected;
};

class WideToTextTest : public testing::TestWithParam<WideCase> {};

TEST_P(WideToTextTest, Converts) {
    EXPECT_EQ(WideToText(GetParam().bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WideToTextTest,
    testing::Values(WideCase{"Plain", {0x41, 0x00, 0x60, 0x4F}, "A你"},
                    WideCase{"EndsAtZero", {0x41, 0x00, 0x00, 0x00, 0x42, 0x00}, "A"},
                    WideCase{"OddByteIgnored", {0x41, 0x00, 0x42}, "A"}, WideCase{"Empty", {}, ""},
                    WideCase{"LeadingZero", {0x00, 0x00, 0x41, 0x00}, ""},
                    WideCase{"NotInGbk", {0x01, 0x0E, 0x41, 0x00}, "?A"},  // Thai ko kai, then A
                    WideCase{"LoneSurrogate", {0x00, 0xD8}, "?"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WideTextTest, RoundTripsChinese) {
    const Text text = "壁纸 - 风景 1080P";
    EXPECT_EQ(WideToText(TextToWide(text)), text);
}

}  // namespace
}  // namespace lumeno
