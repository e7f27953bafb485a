// Text <-> integer and text <-> byte-set conversions.
#include "util/runtime_services.h"

#include <gtest/gtest.h>

#include <climits>

namespace lumeno {
namespace {

struct IntegerCase {
    const char* name;
    Text text;
    int expected;
};

class TextToIntegerTable : public testing::TestWithParam<IntegerCase> {};

TEST_P(TextToIntegerTable, Value) {
    EXPECT_EQ(TextToInteger(GetParam().text), GetParam().expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextToIntegerTable,
    testing::Values(IntegerCase{"fullWidthDigits",
                                "\xA3\xB1\xA3\xB2"
                                "3",
                                123},
                    IntegerCase{"trailingLetters", "12abc", 12}, IntegerCase{"empty", "", 0},
                    IntegerCase{"noDigits", "abc", 0},
                    IntegerCase{"leadingBlanks", " \t\r\n42", 42},
                    IntegerCase{"fullWidthSpace",
                                "\xA1\xA1"
                                "7",
                                7},
                    IntegerCase{"fullWidthMinus",
                                "\xA3\xAD"
                                "5",
                                -5},
                    IntegerCase{"plus", "+8", 8}, IntegerCase{"minus", "-8", -8},
                    IntegerCase{"twoSigns", "--8", 0}, IntegerCase{"signThenBlank", "- 8", 0},
                    IntegerCase{"otherPairStops",
                                "1\xB0\xA1"
                                "2",
                                1},
                    IntegerCase{"tildeIsNotDigit",
                                "\xA1\xAB"
                                "1",
                                0},
                    IntegerCase{"max", "2147483647", INT_MAX},
                    IntegerCase{"min", "-2147483648", INT_MIN},
                    IntegerCase{"overflowSaturates", "99999999999999", INT_MAX},
                    IntegerCase{"underflowSaturates", "-99999999999999", INT_MIN}));

TEST(TextToByte, LowEightBits) {
    EXPECT_EQ(TextToByte("65"), 65);
    EXPECT_EQ(TextToByte("256"), 0);
    EXPECT_EQ(TextToByte("-1"), 255);
    EXPECT_EQ(TextToByte("300"), 44);
}

TEST(ToText, IntegersAndByteSets) {
    EXPECT_EQ(ToText(0), "0");
    EXPECT_EQ(ToText(-42), "-42");
    EXPECT_EQ(ToText(INT_MIN), "-2147483648");
    EXPECT_EQ(ToText(ByteSet{0x61, 0x62, 0x00, 0x63}), "ab");
    EXPECT_EQ(ToText(ByteSet{0x61, 0x62}), "ab");
    EXPECT_EQ(ToText(ByteSet{}), "");
    EXPECT_EQ(ToText(ByteSet{0x00, 0x61}), "");
}

TEST(ToBytes, TextBytesWithoutTerminator) {
    EXPECT_EQ(ToBytes("ab"), (ByteSet{0x61, 0x62}));
    EXPECT_EQ(ToBytes(""), ByteSet{});
    EXPECT_EQ(ToBytes("\xB0\xA1"), (ByteSet{0xB0, 0xA1}));
}

}  // namespace
}  // namespace lumeno
