// Closing the window while a thumbnail stalls: the pending preview is aborted with the other
// transfers and the program's shutdown ends at once. A program of its own: the shutdown flag
// stays set for the whole process.
#include <gtest/gtest.h>

#include <cstdio>

#include "app/application.h"
#include "tests/e2e/e2e_fixture.h"

LUMENO_WINDOW_TEST_ENVIRONMENT();

namespace lumeno::testing {
namespace {

using Clock = std::chrono::steady_clock;

TEST_F(EndToEndTest, ClosingDuringAStalledPreviewEndsAtOnce) {
    AppendListingRows({"/fengjing/index.html"});
    SetThumbnailAddress(0, site.BaseUrl() + "/fault/stall-headers?ms=60000");

    Clock::time_point clicked, closed;
    RunSoonOnWindowThread([&] {
        clicked = Clock::now();
        ClickRow(controls::ImageList, 0);
    });
    WindowThreadTimer closer(std::chrono::milliseconds(20), [&] {
        if (closed != Clock::time_point{} || clicked == Clock::time_point{} ||
            Clock::now() - clicked < std::chrono::seconds(1)) {
            return;
        }
        closed = Clock::now();
        window->Form().Close();
    });
    EXPECT_TRUE(RunMainWindow(TestWindowSystem(), *window, std::chrono::seconds(3)));
    const auto ended = Clock::now();

    std::printf("closed %.0f ms after the click; shutdown took %.1f ms\n",
                std::chrono::duration<double, std::milli>(closed - clicked).count(),
                std::chrono::duration<double, std::milli>(ended - closed).count());
    EXPECT_GE(closed - clicked, std::chrono::milliseconds(900));  // the click did not block
    EXPECT_LT(ended - closed, std::chrono::seconds(1));
    EXPECT_EQ(platform::RunningWorkers(), 0);
    ASSERT_EQ(site.Requests().size(), 1u);
    EXPECT_EQ(site.Requests()[0].path, "/fault/stall-headers");
}

}  // namespace
}  // namespace lumeno::testing
