// Base64 text of byte sets: padding, every byte value, one unbroken line.
#include <gtest/gtest.h>

#include "http/base64.h"

namespace lumeno {
namespace {

ByteSet BytesOf(const char* text) {
    const std::string s(text);
    return ByteSet(s.begin(), s.end());
}

struct Base64Case {
    const char* name;
    ByteSet input;
    Text expected;
};

class Base64EncodeTest : public testing::TestWithParam<Base64Case> {};

TEST_P(Base64EncodeTest, EncodesWithStandardAlphabet) {
    EXPECT_EQ(Base64Encode(GetParam().input), GetParam().expected);
}

// The RFC 4648 test vectors and the byte values that a text-based encoder would get wrong.
INSTANTIATE_TEST_SUITE_P(
    Cases, Base64EncodeTest,
    testing::Values(Base64Case{"Empty", {}, ""}, Base64Case{"OneByte", BytesOf("f"), "Zg=="},
                    Base64Case{"TwoBytes", BytesOf("fo"), "Zm8="},
                    Base64Case{"ThreeBytes", BytesOf("foo"), "Zm9v"},
                    Base64Case{"FourBytes", BytesOf("foob"), "Zm9vYg=="},
                    Base64Case{"FiveBytes", BytesOf("fooba"), "Zm9vYmE="},
                    Base64Case{"SixBytes", BytesOf("foobar"), "Zm9vYmFy"},
                    Base64Case{"ZeroBytesEncodedInFull", ByteSet{0, 0, 0, 0}, "AAAAAA=="},
                    Base64Case{"ZeroInTheMiddle", ByteSet{'a', 0, 'b'}, "YQBi"},
                    Base64Case{"HighBytes", ByteSet{0xFF, 0xFE, 0x80}, "//6A"},
                    Base64Case{"LastAlphabetCharacters", ByteSet{0xFB, 0xFF}, "+/8="},
                    Base64Case{"BasicCredentials", BytesOf("user:pass"), "dXNlcjpwYXNz"},
                    Base64Case{"GbkCredentials", ByteSet{0xC4, 0xE3, ':', 0x31}, "xOM6MQ=="}),
    [](const testing::TestParamInfo<Base64Case>& info) { return std::string(info.param.name); });

TEST(Base64EncodeLengthTest, FiftySevenBytesGiveOneLineOfSeventySix) {
    ByteSet input(57);
    for (std::size_t i = 0; i < input.size(); ++i) input[i] = static_cast<std::uint8_t>(i * 37);
    const Text out = Base64Encode(input);
    EXPECT_EQ(out.size(), 76u);
    EXPECT_EQ(out.find_first_of("\r\n="), Text::npos);
}

TEST(Base64EncodeLengthTest, EveryByteValueRoundsToFourPerThree) {
    ByteSet input(256);
    for (int i = 0; i < 256; ++i) input[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    const Text out = Base64Encode(input);
    // 256 bytes: 85 full groups and one byte left over.
    ASSERT_EQ(out.size(), 344u);
    EXPECT_EQ(out.substr(0, 8), "AAECAwQF");
    EXPECT_EQ(out.substr(out.size() - 8), "/P3+/w==");
}

}  // namespace
}  // namespace lumeno
