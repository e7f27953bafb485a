// The services' bookkeeping that every window system shares, over controls that only record
// what reaches them: rows counted in call order, calls that do nothing once the window is
// gone, and a shutdown that releases a waiting worker and ends the message boxes once.
#include "ui/queued_window_controls.h"

#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "ui/null_window_controls.h"

namespace lumeno::ui {
namespace {

class RecordingControls final : public NullControls<QueuedWindowControls> {
public:
    RecordingControls() : NullControls([](bool) {}) {}

    int Checked(const Text& control) override {
        return Ask([this, control] { return control == checked ? 1 : 0; }, 0);
    }
    void SetChecked(const Text& control, int value) override {
        Do([this, control, value] {
            if (value == 1) checked = control;
        });
    }

    using QueuedWindowControls::CountRows;

    // Window thread only.
    bool window = true;
    Text checked;
    std::vector<std::string> log;  // what reached the controls, in order
    int boxesClosed = 0;

private:
    bool HasWindow() const override { return window; }
    void InsertListRow(const Text& list) override { log.push_back("insert " + list); }
    void RemoveListRows(const Text& list) override { log.push_back("clear " + list); }
    int AskMessageBox(const Text& message, int style, const Text& title) override {
        log.push_back(title + ":" + message + ":" + std::to_string(style));
        return kAnswerYes;
    }
    void CloseMessageBoxes() override { ++boxesClosed; }
};

// This thread made the controls, so it is their window thread: it runs what the worker queues
// until the worker is done.
template <class R>
R ServeUntilDone(RecordingControls& controls, std::future<R>& worker) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (worker.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready &&
           std::chrono::steady_clock::now() < deadline) {
        controls.Flush();
    }
    return worker.get();
}

TEST(QueuedWindowControlsTest, RowsAreCountedInCallOrderAndCallsStopReachingAGoneWindow) {
    RecordingControls controls;
    controls.CountRows("甲", 2);
    controls.CountRows("乙", 0);
    auto worker = std::async(std::launch::async, [&] {
        std::vector<int> answers{controls.AppendListRow("甲"), controls.AppendListRow("乙"),
                                 controls.AppendListRow("无此列表")};
        controls.ClearListRows("甲");
        answers.push_back(controls.AppendListRow("甲"));
        controls.SetChecked("框", 1);
        answers.push_back(controls.Checked("框"));
        return answers;
    });
    EXPECT_EQ(ServeUntilDone(controls, worker), (std::vector<int>{2, 0, -1, 0, 1}));
    EXPECT_EQ(controls.log,
              (std::vector<std::string>{"insert 甲", "insert 乙", "clear 甲", "insert 甲"}));
    EXPECT_EQ(controls.ListRowCount("甲"), 1);
    EXPECT_EQ(controls.ListRowCount("乙"), 1);
    EXPECT_EQ(controls.PendingCalls(), 0u);

    // The window is gone but the services still run: rows are still counted, nothing reaches
    // the controls, and reads are empty, for a worker as for the window thread.
    controls.window = false;
    auto late = std::async(std::launch::async, [&] {
        controls.SetChecked("另一个", 1);
        return std::vector<int>{controls.AppendListRow("乙"), controls.Checked("框")};
    });
    EXPECT_EQ(ServeUntilDone(controls, late), (std::vector<int>{1, 0}));
    EXPECT_EQ(controls.Checked("框"), 0);
    EXPECT_EQ(controls.ListRowCount("乙"), 2);
    EXPECT_EQ(controls.log.size(), 4u);
    EXPECT_EQ(controls.checked, "框");
}

TEST(QueuedWindowControlsTest, ShutdownReleasesAWaitingWorkerAndEndsTheBoxesOnce) {
    RecordingControls controls;
    controls.CountRows("甲", 3);
    controls.ShowFatalError("出错了");
    EXPECT_EQ(controls.ShowMessageBox("继续吗？", kButtonsYesNo), kAnswerYes);

    auto waiting = std::async(std::launch::async, [&] { return controls.Checked("框") + 10; });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (controls.PendingCalls() == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    controls.Shutdown();
    controls.Shutdown();
    EXPECT_TRUE(controls.IsShutDown());
    ASSERT_EQ(waiting.wait_for(std::chrono::seconds(3)), std::future_status::ready);
    EXPECT_EQ(waiting.get(), 10);
    EXPECT_EQ(controls.boxesClosed, 1);

    EXPECT_EQ(controls.AppendListRow("甲"), -1);
    EXPECT_EQ(controls.ListRowCount("甲"), 0);
    controls.ClearListRows("甲");
    controls.SetChecked("框", 1);
    EXPECT_EQ(controls.PendingCalls(), 0u);
    EXPECT_EQ(controls.checked, "");
    EXPECT_EQ(controls.log, (std::vector<std::string>{"错误:出错了:16", "信息：:继续吗？:4"}));
}

}  // namespace
}  // namespace lumeno::ui
