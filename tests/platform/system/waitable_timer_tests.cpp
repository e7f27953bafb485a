// Waitable timers and the wait for timers or messages: relative and absolute due times,
// automatic and manual reset, messages and wakes ending the wait, and argument checks.
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <limits>
#include <thread>

#include "platform/system/message_loop.h"
#include "platform/system/waitable_timer.h"

namespace lumeno::platform {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// 100-ns units.
constexpr std::int64_t Relative(std::chrono::milliseconds span) {
    return -span.count() * 10000;
}

std::int64_t AbsoluteFromNow(std::chrono::milliseconds span) {
    constexpr std::int64_t kUnixEpochIn1601Units = 116'444'736'000'000'000;
    const auto sinceEpoch = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::system_clock::now().time_since_epoch() + span);
    return kUnixEpochIn1601Units + sinceEpoch.count() * 10;
}

UniqueTimer ArmedTimer(std::int64_t dueTime, bool manualReset = false) {
    UniqueTimer timer(CreateWaitableTimerA(nullptr, manualReset, nullptr));
    EXPECT_TRUE(timer);
    EXPECT_TRUE(SetWaitableTimer(timer.get(), &dueTime, 0, nullptr, nullptr, false));
    return timer;
}

// Runs `body` on a fresh thread, so every test starts with an empty message queue.
template <class Body>
void OnFreshThread(Body body) {
    std::thread(body).join();
}

TEST(WaitableTimer, RelativeDueTimeFiresAfterItsSpan) {
    OnFreshThread([] {
        UniqueTimer timer = ArmedTimer(Relative(80ms));
        TimerHandle handles[] = {timer.get()};
        const auto start = Clock::now();
        EXPECT_EQ(MsgWaitForMultipleObjects(1, handles, false, kInfinite, kQsAllInputMask),
                  kWaitObject0);
        const auto waited = Clock::now() - start;
        EXPECT_GE(waited, 80ms);
        EXPECT_LT(waited, 3s);
    });
}

TEST(WaitableTimer, AbsoluteDueTimesInThePastAndFuture) {
    OnFreshThread([] {
        UniqueTimer past = ArmedTimer(AbsoluteFromNow(-1000ms));
        TimerHandle pastHandles[] = {past.get()};
        EXPECT_EQ(MsgWaitForMultipleObjects(1, pastHandles, false, 0, kQsAllInputMask),
                  kWaitObject0);

        UniqueTimer tiny = ArmedTimer(10000);  // one millisecond after 1601 began
        TimerHandle tinyHandles[] = {tiny.get()};
        EXPECT_EQ(MsgWaitForMultipleObjects(1, tinyHandles, false, 0, kQsAllInputMask),
                  kWaitObject0);

        UniqueTimer future = ArmedTimer(AbsoluteFromNow(100ms));
        TimerHandle futureHandles[] = {future.get()};
        const auto start = Clock::now();
        EXPECT_EQ(MsgWaitForMultipleObjects(1, futureHandles, false, kInfinite, kQsAllInputMask),
                  kWaitObject0);
        EXPECT_GE(Clock::now() - start, 60ms);  // the two clocks may differ by a few ms
    });
}

TEST(WaitableTimer, AutomaticResetTimerIsReportedOnce) {
    OnFreshThread([] {
        UniqueTimer timer = ArmedTimer(0);
        TimerHandle handles[] = {timer.get()};
        EXPECT_EQ(MsgWaitForMultipleObjects(1, handles, false, kInfinite, kQsAllInputMask),
                  kWaitObject0);
        EXPECT_EQ(MsgWaitForMultipleObjects(1, handles, false, 30, kQsAllInputMask), kWaitTimeout);
    });
}

TEST(WaitableTimer, ManualResetTimerStaysSignalled) {
    OnFreshThread([] {
        UniqueTimer timer = ArmedTimer(0, true);
        TimerHandle handles[] = {timer.get()};
        EXPECT_EQ(MsgWaitForMultipleObjects(1, handles, false, 0, kQsAllInputMask), kWaitObject0);
        EXPECT_EQ(MsgWaitForMultipleObjects(1, handles, false, 0, kQsAllInputMask), kWaitObject0);
    });
}

TEST(WaitableTimer, UnarmedTimerTimesOut) {
    OnFreshThread([] {
        UniqueTimer timer(CreateWaitableTimerA(nullptr, false, nullptr));
        ASSERT_TRUE(timer);
        TimerHandle handles[] = {timer.get()};
        const auto start = Clock::now();
        EXPECT_EQ(MsgWaitForMultipleObjects(1, handles, false, 40, kQsAllInputMask), kWaitTimeout);
        EXPECT_GE(Clock::now() - start, 40ms);
    });
}

TEST(WaitableTimer, TheEarlierOfTwoTimersIsReported) {
    OnFreshThread([] {
        UniqueTimer late = ArmedTimer(Relative(5000ms));
        UniqueTimer early = ArmedTimer(Relative(30ms));
        TimerHandle handles[] = {late.get(), early.get()};
        EXPECT_EQ(MsgWaitForMultipleObjects(2, handles, false, kInfinite, kQsAllInputMask),
                  kWaitObject0 + 1);
    });
}

TEST(WaitableTimer, AMessagePostedDuringTheWaitEndsItBeforeTheTimer) {
    OnFreshThread([] {
        UniqueTimer timer = ArmedTimer(Relative(10000ms));
        TimerHandle handles[] = {timer.get()};
        const ThreadId self = CurrentThreadId();
        std::atomic<bool> ran{false};
        std::thread poster([&] {
            std::this_thread::sleep_for(50ms);
            PostThreadMessage(self, [&] { ran = true; });
        });
        const auto start = Clock::now();
        EXPECT_EQ(MsgWaitForMultipleObjects(1, handles, false, kInfinite, kQsAllInputMask),
                  kWaitObject0 + 1);
        EXPECT_LT(Clock::now() - start, 5s);
        poster.join();
        EXPECT_FALSE(ran.load());
        CurrentThreadLoop().DispatchPending();
        EXPECT_TRUE(ran.load());
    });
}

TEST(WaitableTimer, AWaitingMessageIsReportedAtOnceAndTheTimerWins) {
    OnFreshThread([] {
        ASSERT_TRUE(CurrentThreadLoop().Post([] {}));
        UniqueTimer timer = ArmedTimer(Relative(10000ms));
        TimerHandle handles[] = {timer.get()};
        EXPECT_EQ(MsgWaitForMultipleObjects(1, handles, false, kInfinite, kQsAllInputMask),
                  kWaitObject0 + 1);

        // With both the timer and a message ready, the timer comes first.
        UniqueTimer due = ArmedTimer(0);
        TimerHandle dueHandles[] = {due.get()};
        EXPECT_EQ(MsgWaitForMultipleObjects(1, dueHandles, false, kInfinite, kQsAllInputMask),
                  kWaitObject0);
        CurrentThreadLoop().DispatchPending();
    });
}

TEST(WaitableTimer, WithoutAWakeMaskMessagesDoNotEndTheWait) {
    OnFreshThread([] {
        ASSERT_TRUE(CurrentThreadLoop().Post([] {}));
        UniqueTimer timer = ArmedTimer(Relative(50ms));
        TimerHandle handles[] = {timer.get()};
        const auto start = Clock::now();
        EXPECT_EQ(MsgWaitForMultipleObjects(1, handles, false, kInfinite, 0), kWaitObject0);
        EXPECT_GE(Clock::now() - start, 50ms);
        CurrentThreadLoop().DispatchPending();
    });
}

TEST(WaitableTimer, AWakeEndsAnInfiniteWaitAsInput) {
    std::promise<ThreadMessageLoop*> waiterLoop;
    std::thread waiter([&] {
        waiterLoop.set_value(&CurrentThreadLoop());
        UniqueTimer timer(CreateWaitableTimerA(nullptr, false, nullptr));
        TimerHandle handles[] = {timer.get()};
        EXPECT_EQ(MsgWaitForMultipleObjects(1, handles, false, kInfinite, kQsAllInputMask),
                  kWaitObject0 + 1);
    });
    ThreadMessageLoop* loop = waiterLoop.get_future().get();
    std::this_thread::sleep_for(30ms);
    loop->Wake();
    waiter.join();
}

TEST(WaitableTimer, RejectsWhatItDoesNotSupport) {
    EXPECT_EQ(CreateWaitableTimerA(nullptr, false, "named"), nullptr);
    int attributes = 0;
    EXPECT_EQ(CreateWaitableTimerA(&attributes, false, nullptr), nullptr);

    UniqueTimer timer(CreateWaitableTimerA(nullptr, false, ""));
    ASSERT_TRUE(timer);
    const std::int64_t due = Relative(10ms);
    EXPECT_FALSE(SetWaitableTimer(nullptr, &due, 0, nullptr, nullptr, false));
    EXPECT_FALSE(SetWaitableTimer(timer.get(), nullptr, 0, nullptr, nullptr, false));
    EXPECT_FALSE(SetWaitableTimer(timer.get(), &due, 100, nullptr, nullptr, false));
    EXPECT_FALSE(SetWaitableTimer(timer.get(), &due, 0, nullptr, nullptr, true));

    TimerHandle handles[] = {timer.get()};
    TimerHandle nullHandles[] = {nullptr};
    EXPECT_EQ(MsgWaitForMultipleObjects(1, handles, true, 0, kQsAllInputMask), kWaitFailed);
    EXPECT_EQ(MsgWaitForMultipleObjects(1, nullHandles, false, 0, kQsAllInputMask), kWaitFailed);
    EXPECT_EQ(MsgWaitForMultipleObjects(1, nullptr, false, 0, kQsAllInputMask), kWaitFailed);
    EXPECT_EQ(MsgWaitForMultipleObjects(65, handles, false, 0, kQsAllInputMask), kWaitFailed);
    EXPECT_FALSE(CloseHandle(nullptr));
}

TEST(WaitableTimer, FarFutureDueTimesDoNotWrapIntoThePast) {
    OnFreshThread([] {
        UniqueTimer timer = ArmedTimer(std::numeric_limits<std::int64_t>::min());
        TimerHandle handles[] = {timer.get()};
        EXPECT_EQ(MsgWaitForMultipleObjects(1, handles, false, 20, kQsAllInputMask), kWaitTimeout);
        UniqueTimer absolute = ArmedTimer(std::numeric_limits<std::int64_t>::max());
        TimerHandle absoluteHandles[] = {absolute.get()};
        EXPECT_EQ(MsgWaitForMultipleObjects(1, absoluteHandles, false, 20, kQsAllInputMask),
                  kWaitTimeout);
    });
}

}  // namespace
}  // namespace lumeno::platform
