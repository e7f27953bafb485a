// ResponsiveDelay on the real timer and message loop: it waits about as long as asked and runs
// the messages posted to the waiting thread, on that thread, before it returns.
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/system/message_loop.h"
#include "util/responsive_delay.h"

namespace lumeno {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The windows are wide on purpose: they check the behaviour (it waits, and not forever), not
// how precisely; sanitizer builds and a busy machine stretch the upper end.
TEST(ResponsiveDelayReal, HalfASecondDispatchesMessagesPostedMeanwhile) {
    std::promise<platform::ThreadId> waiterId;
    std::promise<void> waitStarted;
    std::mutex mutex;
    std::vector<int> ran;
    std::vector<std::thread::id> ranOn;
    std::thread::id waiterThread;
    bool returnedBeforeMessages = false;
    Clock::duration waited{};

    std::thread waiter([&] {
        waiterThread = std::this_thread::get_id();
        waiterId.set_value(platform::CurrentThreadId());
        waitStarted.set_value();
        const auto start = Clock::now();
        EXPECT_TRUE(ResponsiveDelay(500));
        waited = Clock::now() - start;
        std::lock_guard lock(mutex);
        returnedBeforeMessages = ran.size() < 3;
    });
    const platform::ThreadId id = waiterId.get_future().get();
    waitStarted.get_future().wait();
    for (int i = 1; i <= 3; ++i) {
        std::this_thread::sleep_for(60ms);
        ASSERT_TRUE(platform::PostThreadMessage(id, [&, i] {
            std::lock_guard lock(mutex);
            ran.push_back(i);
            ranOn.push_back(std::this_thread::get_id());
        }));
    }
    waiter.join();

    EXPECT_GE(waited, 450ms);
    EXPECT_LE(waited, 1500ms);
    EXPECT_FALSE(returnedBeforeMessages);
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
    for (const auto& thread : ranOn) EXPECT_EQ(thread, waiterThread);
}

TEST(ResponsiveDelayReal, TwoSecondsWithTheSecondUnit) {
    const auto start = Clock::now();
    EXPECT_TRUE(ResponsiveDelay(2, 1));
    const auto waited = Clock::now() - start;
    EXPECT_GE(waited, 1950ms);
    EXPECT_LE(waited, 3500ms);
}

TEST(ResponsiveDelayReal, ZeroAndNegativeDurationsReturnAtOnce) {
    const auto start = Clock::now();
    EXPECT_TRUE(ResponsiveDelay(0));
    EXPECT_TRUE(ResponsiveDelay(-1));
    EXPECT_TRUE(ResponsiveDelay(-1000, 3));
    EXPECT_TRUE(ResponsiveDelay(std::numeric_limits<int>::min(), 3));
    EXPECT_LT(Clock::now() - start, 250ms);
}

TEST(ResponsiveDelayReal, MessagesQueuedBeforeTheDelayRunDuringIt) {
    std::thread([] {
        int ran = 0;
        ASSERT_TRUE(platform::PostThreadMessage(platform::CurrentThreadId(), [&] { ++ran; }));
        const auto start = Clock::now();
        EXPECT_TRUE(ResponsiveDelay(50));
        EXPECT_GE(Clock::now() - start, 45ms);
        EXPECT_EQ(ran, 1);
    }).join();
}

}  // namespace
}  // namespace lumeno
