// The growth rule of bodies held in memory: room within four times a large body, no wrap-around.
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/system/body_room.h"

namespace lumeno::platform {
namespace {

TEST(BodyRoomTest, LargeBodiesGetAtMostFourTimesTheirSizeAndNothingWraps) {
    constexpr std::size_t kMiB = 1024 * 1024;
    for (std::size_t needed : {16 * kMiB + 1, 100 * kMiB, 300 * kMiB}) {
        EXPECT_GE(BodyRoomFor(needed), needed);
        EXPECT_LE(BodyRoomFor(needed), 4 * needed) << needed;
    }
    EXPECT_EQ(BodyRoomFor(SIZE_MAX - 1), SIZE_MAX - 1);
}

}  // namespace
}  // namespace lumeno::platform
