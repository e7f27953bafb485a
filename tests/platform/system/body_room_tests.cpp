// The growth rule of bodies held in memory: fixed sixteenfold steps to 16 MiB, fourfold after,
// and no wrap-around near the top of size_t.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/system/body_room.h"

namespace lumeno::platform {
namespace {

constexpr std::size_t kKiB = 1024;
constexpr std::size_t kMiB = 1024 * kKiB;

TEST(BodyRoomTest, StepsAreFixedAndStayWithinFourTimesALargeBody) {
    EXPECT_EQ(BodyRoomFor(0), 64 * kKiB);
    EXPECT_EQ(BodyRoomFor(64 * kKiB), 64 * kKiB);
    EXPECT_EQ(BodyRoomFor(64 * kKiB + 1), 1 * kMiB);
    EXPECT_EQ(BodyRoomFor(1 * kMiB + 1), 16 * kMiB);
    EXPECT_EQ(BodyRoomFor(16 * kMiB + 1), 64 * kMiB);
    EXPECT_EQ(BodyRoomFor(64 * kMiB + 1), 256 * kMiB);
    for (std::size_t needed : {16 * kMiB + 1, 100 * kMiB, 300 * kMiB}) {
        EXPECT_LE(BodyRoomFor(needed), 4 * needed) << needed;
    }
    // Past the last step that fits, the room is what is needed, never a wrapped small number.
    EXPECT_EQ(BodyRoomFor(SIZE_MAX - 1), SIZE_MAX - 1);
    EXPECT_GE(BodyRoomFor(SIZE_MAX / 2 + 3), SIZE_MAX / 2 + 3);
}

}  // namespace
}  // namespace lumeno::platform
