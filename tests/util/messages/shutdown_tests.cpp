// The process-wide shutdown flag: it flips once, wakes a delay that would otherwise run for an
// hour, wakes a wait for messages, and stops new workers from starting.
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

#include "platform/system/message_loop.h"
#include "platform/system/waitable_timer.h"
#include "platform/system/worker_threads.h"
#include "util/responsive_delay.h"
#include "util/runtime_services.h"

namespace lumeno {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// One test on purpose: the flag cannot be cleared, so the steps before and after it must run
// in this order within one process.
TEST(Shutdown, WakesWaitingWorkersAndRefusesNewOnes) {
    EXPECT_FALSE(platform::ShutdownRequested());

    std::atomic<int> waiting{0};
    std::atomic<bool> delayReturned{false};
    std::atomic<std::uint32_t> waitResult{0};
    ASSERT_TRUE(StartThread([&] {
        ++waiting;
        ResponsiveDelay(1, 3);  // an hour
        delayReturned = true;
    }));
    ASSERT_TRUE(StartThread([&] {
        platform::UniqueTimer timer(platform::CreateWaitableTimerA(nullptr, false, nullptr));
        platform::TimerHandle handles[] = {timer.get()};
        ++waiting;
        waitResult = platform::MsgWaitForMultipleObjects(1, handles, false, platform::kInfinite,
                                                         platform::kQsAllInputMask);
    }));
    while (waiting.load() < 2) std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(50ms);  // let both reach their wait
    EXPECT_EQ(platform::RunningWorkers(), 2);
    EXPECT_FALSE(delayReturned.load());

    const auto start = Clock::now();
    platform::RequestShutdown();
    EXPECT_TRUE(platform::ShutdownRequested());
    EXPECT_TRUE(platform::WaitForWorkers(5s));
    EXPECT_LT(Clock::now() - start, 5s);
    EXPECT_TRUE(delayReturned.load());
    EXPECT_EQ(waitResult.load(), platform::kWaitObject0 + 1);

    std::atomic<bool> ran{false};
    EXPECT_FALSE(StartThread([&] { ran = true; }));
    EXPECT_EQ(platform::RunningWorkers(), 0);
    EXPECT_FALSE(ran.load());
}

}  // namespace
}  // namespace lumeno
