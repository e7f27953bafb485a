// Byte-set operations and ReadBytesValue.
#include "util/runtime_services.h"

#include <gtest/gtest.h>

#include "tests/util/runtime/exit_code.h"

#include <cstring>

namespace lumeno {
namespace {

const ByteSet kAbcde{'a', 'b', 'c', 'd', 'e'};

TEST(ByteSets, CutsAndClamping) {
    EXPECT_EQ(BytesLength(kAbcde), 5);
    EXPECT_EQ(BytesLength({}), 0);
    EXPECT_EQ(LeftBytes(kAbcde, 2), (ByteSet{'a', 'b'}));
    EXPECT_EQ(LeftBytes(kAbcde, 9), kAbcde);
    EXPECT_EQ(LeftBytes(kAbcde, 0), ByteSet{});
    EXPECT_EQ(LeftBytes(kAbcde, -4), ByteSet{});
    EXPECT_EQ(MidBytes(kAbcde, 2, 3), (ByteSet{'b', 'c', 'd'}));
    EXPECT_EQ(MidBytes(kAbcde, 4, 9), (ByteSet{'d', 'e'}));
    EXPECT_EQ(MidBytes(kAbcde, 0, 2), (ByteSet{'a', 'b'}));  // start clamped up to 1
    EXPECT_EQ(MidBytes(kAbcde, -9, 1), (ByteSet{'a'}));
    EXPECT_EQ(MidBytes(kAbcde, 6, 3), ByteSet{});   // length + 1: nothing left
    EXPECT_EQ(MidBytes(kAbcde, 99, 3), ByteSet{});  // clamped down to length + 1
    EXPECT_EQ(MidBytes(kAbcde, 2, -1), ByteSet{});
    EXPECT_EQ(MidBytes({}, 1, 5), ByteSet{});
    EXPECT_EQ(BlankBytes(3), (ByteSet{0, 0, 0}));
    EXPECT_EQ(BlankBytes(0), ByteSet{});
    EXPECT_EQ(BlankBytes(-2), ByteSet{});
    const char raw[] = {'x', 0, 'y'};
    EXPECT_EQ(BytesFromMemory(raw, 3), (ByteSet{'x', 0, 'y'}));
    EXPECT_EQ(BytesFromMemory(raw, 0), ByteSet{});
    EXPECT_EQ(BytesFromMemory(nullptr, 4), ByteSet{});
}

TEST(ReadBytesValue, KindsReadLittleEndian) {
    const ByteSet bytes{0xFE, 0xFF, 0xFF, 0xFF, 0x01, 0, 0, 0};
    EXPECT_EQ(std::get<std::int64_t>(ReadBytesValue(bytes, 1)), 0xFE);
    EXPECT_EQ(std::get<std::int64_t>(ReadBytesValue(bytes, 2)), -2);
    EXPECT_EQ(std::get<std::int64_t>(ReadBytesValue(bytes, 3)), -2);
    EXPECT_EQ(std::get<std::int64_t>(ReadBytesValue(bytes, 4)), 0x1FFFFFFFELL);
    EXPECT_TRUE(std::get<bool>(ReadBytesValue(bytes, 7)));
    EXPECT_FALSE(std::get<bool>(ReadBytesValue(ByteSet{0, 0, 0, 0, 1}, 7)));
    EXPECT_EQ(std::get<std::int64_t>(ReadBytesValue(bytes, 9)), 0x1FFFFFFFELL);
}

TEST(ReadBytesValue, MissingBytesReadAsZero) {
    EXPECT_EQ(std::get<std::int64_t>(ReadBytesValue(ByteSet{0x34, 0x12}, 3)), 0x1234);
    EXPECT_EQ(std::get<std::int64_t>(ReadBytesValue(ByteSet{}, 4)), 0);
    EXPECT_EQ(std::get<double>(ReadBytesValue(ByteSet{}, 6)), 0.0);
}

TEST(ReadBytesValue, FloatingKindsAndText) {
    const double d = -2.5;
    ByteSet doubleBytes(sizeof d);
    std::memcpy(doubleBytes.data(), &d, sizeof d);
    EXPECT_EQ(std::get<double>(ReadBytesValue(doubleBytes, 6)), -2.5);
    EXPECT_EQ(std::get<double>(ReadBytesValue(doubleBytes, 8)), -2.5);
    const float f = 1.25f;
    ByteSet floatBytes(sizeof f);
    std::memcpy(floatBytes.data(), &f, sizeof f);
    EXPECT_EQ(std::get<double>(ReadBytesValue(floatBytes, 5)), 1.25);
    EXPECT_EQ(std::get<Text>(ReadBytesValue(ByteSet{'a', 'b', 0, 'c'}, 10)), "ab");
    EXPECT_EQ(std::get<Text>(ReadBytesValue(ByteSet{}, 10)), "");
}

TEST(ReadBytesValueDeathTest, InvalidKindIsFatal) {
    const Text expected = FatalErrorText(-1, "“欲取出数据的类型”参数值无效");
    for (int kind : {0, 11, -1}) {
        EXPECT_EXIT(
            {
                SetFatalErrorReporter([&](const Text& boxText) {
                    std::fputs(boxText == expected ? "invalid-kind" : "wrong", stderr);
                });
                ReadBytesValue(ByteSet{1}, kind);
            },
            ExitedWithMinusOne, "invalid-kind")
            << kind;
    }
}

}  // namespace
}  // namespace lumeno
