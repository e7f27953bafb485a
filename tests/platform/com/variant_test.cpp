// Variant conversions as VariantChangeType gives them.
#include "platform/com/variant.h"

#include <gtest/gtest.h>

#include <limits>

namespace lumeno::platform {
namespace {

struct ToStringCase {
    const char* name;
    Variant value;
    std::u16string expected;
};

class VariantToStringTest : public testing::TestWithParam<ToStringCase> {};

TEST_P(VariantToStringTest, GivesTheTextForm) {
    std::u16string text = u"untouched";
    ASSERT_EQ(VariantToString(GetParam().value, &text), S_OK);
    EXPECT_EQ(text, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VariantToStringTest,
    testing::Values(ToStringCase{"Empty", Variant(), u""},
                    ToStringCase{"I4", Variant::FromI4(-42), u"-42"},
                    ToStringCase{"R8Whole", Variant::FromR8(3.0), u"3"},
                    ToStringCase{"R8Fraction", Variant::FromR8(1.5), u"1.5"},
                    ToStringCase{"R8Shortest", Variant::FromR8(0.1), u"0.1"},
                    ToStringCase{"R8Large", Variant::FromR8(1e21), u"1E+21"},
                    ToStringCase{"R8FifteenDigits", Variant::FromR8(0.1 + 0.2), u"0.3"},
                    ToStringCase{"R8LongInteger", Variant::FromR8(123456789012345.0),
                                 u"123456789012345"},
                    ToStringCase{"R8ScientificFrom15Digits", Variant::FromR8(1e15), u"1E+15"},
                    ToStringCase{"R8SmallScientific", Variant::FromR8(0.00001), u"1E-05"},
                    ToStringCase{"R8SmallFixed", Variant::FromR8(-0.0001), u"-0.0001"},
                    ToStringCase{"R8NegativeZero", Variant::FromR8(-0.0), u"0"},
                    ToStringCase{"BoolTrue", Variant::FromBool(true), u"True"},
                    ToStringCase{"BoolFalse", Variant::FromBool(false), u"False"},
                    ToStringCase{"Bstr", Variant::FromBstr(u"壁纸"), u"壁纸"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VariantTest, ObjectsAndArraysDoNotBecomeStrings) {
    std::u16string text = u"untouched";
    EXPECT_EQ(VariantToString(Variant::FromBytes({1, 2}), &text), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(VariantToString(Variant::FromDispatch(nullptr), &text), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(text, u"untouched");
}

TEST(VariantTest, NumbersFromStringsAndBooleans) {
    std::int32_t i = 0;
    EXPECT_EQ(VariantToInt32(Variant::FromBstr(u" 12 "), &i), S_OK);
    EXPECT_EQ(i, 12);
    EXPECT_EQ(VariantToInt32(Variant::FromBool(true), &i), S_OK);
    EXPECT_EQ(i, -1);
    EXPECT_EQ(VariantToInt32(Variant::FromR8(2.5), &i), S_OK);
    EXPECT_EQ(i, 2);  // half to even
    EXPECT_EQ(VariantToInt32(Variant::FromBstr(u"12abc"), &i), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(VariantToInt32(Variant::FromR8(1e12), &i), DISP_E_OVERFLOW);
    EXPECT_EQ(VariantToInt32(Variant::FromR8(std::numeric_limits<double>::quiet_NaN()), &i),
              DISP_E_OVERFLOW);
    double d = 0;
    EXPECT_EQ(VariantToDouble(Variant::FromBstr(u"-1.25"), &d), S_OK);
    EXPECT_EQ(d, -1.25);
    bool b = false;
    EXPECT_EQ(VariantToBoolean(Variant::FromBstr(u"true"), &b), S_OK);
    EXPECT_TRUE(b);
    EXPECT_EQ(VariantToBoolean(Variant::FromI4(0), &b), S_OK);
    EXPECT_FALSE(b);
}

TEST(VariantTest, CopyIsDeepForBytesAndKeepsZeroBytes) {
    Variant original = Variant::FromBytes({0, 1, 0, 255});
    Variant copy = original;
    original.Clear();
    ASSERT_NE(copy.Bytes(), nullptr);
    EXPECT_EQ(*copy.Bytes(), (std::vector<std::uint8_t>{0, 1, 0, 255}));
    EXPECT_EQ(copy.Type(), VarType::UI1Array);
    EXPECT_TRUE(original.IsEmpty());

    // Taking the bytes from one of two holders leaves the other's whole; from the last holder,
    // they come out as they are. Other kinds give nothing and stay.
    Variant shared = copy;
    EXPECT_EQ(shared, copy);
    EXPECT_EQ(shared.TakeBytes(), (std::vector<std::uint8_t>{0, 1, 0, 255}));
    EXPECT_TRUE(shared.IsEmpty());
    ASSERT_NE(copy.Bytes(), nullptr);
    EXPECT_EQ(copy.Bytes()->size(), 4u);
    EXPECT_EQ(copy.TakeBytes(), (std::vector<std::uint8_t>{0, 1, 0, 255}));
    EXPECT_NE(Variant::FromBytes({1, 2}), Variant::FromBytes({1, 3}));
    EXPECT_EQ(Variant::FromBytes({1, 2}), Variant::FromBytes({1, 2}));
    EXPECT_NE(Variant::FromBytes({}), Variant());
    Variant number = Variant::FromI4(7);
    EXPECT_TRUE(number.TakeBytes().empty());
    EXPECT_EQ(number, Variant::FromI4(7));
}

}  // namespace
}  // namespace lumeno::platform
