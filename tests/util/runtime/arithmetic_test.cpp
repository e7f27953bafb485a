// Remainder, BitAnd and the shifts.
#include "util/runtime_services.h"

#include <gtest/gtest.h>

#include "tests/util/runtime/exit_code.h"

#include <climits>
#include <cstdio>

namespace lumeno {
namespace {

TEST(Remainder, SignOfDividend) {
    EXPECT_EQ(Remainder(7, 3), 1);
    EXPECT_EQ(Remainder(-7, 3), -1);
    EXPECT_EQ(Remainder(7, -3), 1);
    EXPECT_EQ(Remainder(5.5, 2), 1.5);
    EXPECT_EQ(Remainder(0, 3), 0);
}

TEST(RemainderDeathTest, ByZeroIsFatal) {
    EXPECT_EXIT(
        {
            SetFatalErrorReporter([](const Text& boxText) {
                std::fputs(boxText == FatalErrorText(-1, "不能求余数于零") ? "by-zero" : "wrong",
                           stderr);
            });
            Remainder(1, 0);
        },
        ExitedWithMinusOne, "by-zero");
}

TEST(BitOperations, AndAndShifts) {
    EXPECT_EQ(BitAnd({0xFF, 0x0F}), 0x0F);
    EXPECT_EQ(BitAnd({-1, 0x1234, 0x0FF0}), 0x0230);
    EXPECT_EQ(BitAnd({5}), 5);
    EXPECT_EQ(BitAnd({}), 0);
    EXPECT_EQ(ShiftLeft(1, 4), 16);
    EXPECT_EQ(ShiftLeft(1, 33), 2);  // count modulo 32
    EXPECT_EQ(ShiftLeft(1, 31), INT_MIN);
    EXPECT_EQ(ShiftLeft(3, -1), INT_MIN);  // -1 modulo 32 is 31
    EXPECT_EQ(ShiftRight(-16, 2), -4);     // the sign bit is copied
    EXPECT_EQ(ShiftRight(16, 34), 4);
    EXPECT_EQ(ShiftRight(INT_MIN, 31), -1);
}

}  // namespace
}  // namespace lumeno
