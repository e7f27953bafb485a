// The window thread's message loop on Qt: messages posted to the window thread run through
// Qt's queue, ProcessMessages dispatches Qt events, a responsive delay keeps the window alive
// and a wait ends early on Wake.
#include "ui/qt_message_loop.h"

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include <QTimer>

#include "platform/system/message_loop.h"
#include "tests/ui/qt_test_environment.h"
#include "util/responsive_delay.h"
#include "util/runtime_services.h"

LUMENO_QT_TEST_ENVIRONMENT();

namespace lumeno::ui {
namespace {

class QtMessageLoopTest : public ::testing::Test {
protected:
    QtMessageLoopTest() { platform::InstallThreadMessageLoop(&loop_); }
    ~QtMessageLoopTest() override { platform::InstallThreadMessageLoop(nullptr); }

    QtThreadMessageLoop loop_;
};

TEST_F(QtMessageLoopTest, MessagesPostedFromAWorkerRunOnTheWindowThreadInOrder) {
    const platform::ThreadId window = platform::CurrentThreadId();
    const std::thread::id windowThread = std::this_thread::get_id();
    std::vector<int> order;
    std::atomic<int> onWindowThread{0};
    std::thread worker([&] {
        for (int i = 0; i < 20; ++i) {
            EXPECT_TRUE(platform::PostThreadMessage(window, [&, i] {
                order.push_back(i);
                if (std::this_thread::get_id() == windowThread) ++onWindowThread;
            }));
        }
    });
    worker.join();
    EXPECT_TRUE(loop_.HasPending());
    ProcessMessages();
    ASSERT_EQ(order.size(), 20u);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
    EXPECT_EQ(onWindowThread, 20);
    EXPECT_FALSE(loop_.HasPending());
}

TEST_F(QtMessageLoopTest, ProcessMessagesDispatchesQtEvents) {
    bool ran = false;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&] { ran = true; }, Qt::QueuedConnection);
    ProcessMessages();
    EXPECT_TRUE(ran);
}

TEST_F(QtMessageLoopTest, ResponsiveDelayKeepsTheWindowThreadServingEvents) {
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(10);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(ResponsiveDelay(200));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(195));
    EXPECT_LT(elapsed, std::chrono::seconds(3));
    EXPECT_GE(ticks, 5);  // about 20 ticks when nothing else runs
}

TEST_F(QtMessageLoopTest, WaitEndsAtItsDeadlineOrOnWake) {
    // Waiting blocks: callers wait again after each return, so a spinning wait would show
    // as thousands of returns.
    auto start = std::chrono::steady_clock::now();
    const auto until = start + std::chrono::milliseconds(100);
    int returns = 0;
    while (std::chrono::steady_clock::now() < until) {
        loop_.WaitForMessages(until);
        ++returns;
    }
    EXPECT_LT(returns, 20);

    std::thread waker([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        loop_.Wake();
    });
    start = std::chrono::steady_clock::now();
    loop_.WaitForMessages(start + std::chrono::seconds(20));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    waker.join();
}

}  // namespace
}  // namespace lumeno::ui
