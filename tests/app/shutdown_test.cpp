// Closing the main window while workers run: the event loop ends, workers blocked in a message
// box or a delay or filling the lists are released and end, and the shutdown finishes well
// inside its wait. A program of its own: the shutdown flag stays set for the whole process.
#include "app/application.h"

#include <atomic>

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "crawler/control_names.h"
#include "platform/system/worker_threads.h"
#include "tests/ui/window_test_support.h"
#include "util/responsive_delay.h"
#include "util/runtime_services.h"

LUMENO_WINDOW_TEST_ENVIRONMENT();

namespace lumeno {
namespace {

TEST(ShutdownTest, ClosingTheWindowWhileWorkersRunEndsPromptly) {
    MainWindow window("http://127.0.0.1:45679");
    WindowControls& controls = window.Controls();
    std::atomic<int> answer{-100};
    std::atomic<int> rowsAdded{0};
    std::atomic<bool> delayEnded{false};

    ASSERT_TRUE(StartThread([&] {
        answer = controls.ShowMessageBox("保存成功，是否打开文件夹查看？", kButtonsYesNo,
                                         "Kestrune - 提示");
    }));
    ASSERT_TRUE(StartThread([&] {
        ResponsiveDelay(10, 2);  // ten minutes unless the program closes
        delayEnded = true;
    }));
    ASSERT_TRUE(StartThread([&] {
        // A crawl-like worker that only stops when the window stops answering.
        while (controls.AppendListRow(controls::ImageList) >= 0) {
            controls.SetListCellText(controls::ImageList, rowsAdded, 0, "http://127.0.0.1/a.jpg");
            controls.ListCellText(controls::ImageList, 0);  // a round trip every row
            ++rowsAdded;
        }
    }));

    bool boxSeen = false;
    testing::WindowThreadTimer closer(std::chrono::milliseconds(20), [&] {
        if (boxSeen || !testing::VisibleMessageBox() || rowsAdded < 20) return;
        boxSeen = true;
        window.Form().Close();
    });

    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(RunMainWindow(testing::TestWindowSystem(), window, std::chrono::seconds(3)));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(8));
    EXPECT_TRUE(boxSeen);
    EXPECT_EQ(platform::RunningWorkers(), 0);
    EXPECT_EQ(answer, 0);  // the box went away unanswered
    EXPECT_TRUE(delayEnded);
    EXPECT_GE(rowsAdded, 20);
    EXPECT_FALSE(testing::VisibleMessageBox().has_value());
    // Nothing new starts once the program is closing.
    EXPECT_FALSE(StartThread([] {}));
}

}  // namespace
}  // namespace lumeno
