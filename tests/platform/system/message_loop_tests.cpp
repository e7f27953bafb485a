// Per-thread message loops: posting across threads, dispatch order, the quit message, waiting
// and waking, installed loops and threads that have ended.
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <string>
#include <memory>
#include <thread>
#include <vector>

#include "platform/system/message_loop.h"

namespace lumeno::platform {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(MessageLoop, ThreadIdsAreStableNonZeroAndDistinct) {
    const ThreadId mine = CurrentThreadId();
    EXPECT_NE(mine, 0u);
    EXPECT_EQ(CurrentThreadId(), mine);
    ThreadId other = 0;
    std::thread([&] { other = CurrentThreadId(); }).join();
    EXPECT_NE(other, 0u);
    EXPECT_NE(other, mine);
}

TEST(MessageLoop, PostedMessagesRunOnTheOwningThreadInOrder) {
    std::promise<ThreadId> ownerId;
    std::promise<void> posted;
    std::vector<int> order;
    std::thread::id ranOn;
    std::thread owner([&] {
        ownerId.set_value(CurrentThreadId());
        posted.get_future().wait();
        CurrentThreadLoop().DispatchPending();
    });
    const ThreadId id = ownerId.get_future().get();
    for (int i = 1; i <= 5; ++i) {
        ASSERT_TRUE(PostThreadMessage(id, [&, i] {
            order.push_back(i);
            ranOn = std::this_thread::get_id();
        }));
    }
    const std::thread::id ownerThread = owner.get_id();
    posted.set_value();
    owner.join();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(ranOn, ownerThread);
}

TEST(MessageLoop, DispatchLeavesOtherThreadsQueuesAlone) {
    std::promise<ThreadId> otherId;
    std::promise<void> checked;
    std::atomic<int> otherRan{0};
    std::thread other([&] {
        otherId.set_value(CurrentThreadId());
        checked.get_future().wait();
        CurrentThreadLoop().DispatchPending();
    });
    const ThreadId id = otherId.get_future().get();
    ASSERT_TRUE(PostThreadMessage(id, [&] { ++otherRan; }));
    int mineRan = 0;
    ASSERT_TRUE(PostThreadMessage(CurrentThreadId(), [&] { ++mineRan; }));
    CurrentThreadLoop().DispatchPending();
    EXPECT_EQ(mineRan, 1);
    EXPECT_EQ(otherRan.load(), 0);
    checked.set_value();
    other.join();
    EXPECT_EQ(otherRan.load(), 1);
}

TEST(MessageLoop, MessagesPostedWhileDispatchingRunInTheSameDispatch) {
    std::vector<std::string> order;
    const ThreadId self = CurrentThreadId();
    ASSERT_TRUE(PostThreadMessage(self, [&] {
        order.push_back("first");
        PostThreadMessage(self, [&] { order.push_back("posted by first"); });
    }));
    ASSERT_TRUE(PostThreadMessage(self, [&] { order.push_back("second"); }));
    CurrentThreadLoop().DispatchPending();
    EXPECT_EQ(order, (std::vector<std::string>{"first", "second", "posted by first"}));
    EXPECT_FALSE(CurrentThreadLoop().HasPending());
}

TEST(MessageLoop, TheQuitMessageStopsDispatchAndStaysQueued) {
    std::thread([] {
        std::vector<int> order;
        ThreadMessageLoop& loop = CurrentThreadLoop();
        ASSERT_TRUE(loop.Post([&] { order.push_back(1); }));
        ASSERT_TRUE(PostQuitMessage(7));
        ASSERT_TRUE(loop.Post([&] { order.push_back(2); }));
        loop.DispatchPending();
        EXPECT_EQ(order, std::vector<int>{1});
        EXPECT_FALSE(loop.HasPending());
        EXPECT_EQ(QueuedQuitCode(), 7);
        loop.DispatchPending();
        EXPECT_EQ(order, std::vector<int>{1});
        EXPECT_EQ(QueuedQuitCode(), 7);
    }).join();
}

TEST(MessageLoop, NoQuitCodeWithoutAQuitMessage) {
    std::thread([] { EXPECT_EQ(QueuedQuitCode(), std::nullopt); }).join();
}

TEST(MessageLoop, PostingFailsForUnknownAndEndedThreads) {
    EXPECT_FALSE(PostThreadMessage(0, [] {}));
    ThreadId ended = 0;
    std::thread([&] { ended = CurrentThreadId(); }).join();
    EXPECT_FALSE(PostThreadMessage(ended, [] {}));
    EXPECT_FALSE(PostThreadMessage(CurrentThreadId(), nullptr));
}

TEST(MessageLoop, WaitReturnsWhenAMessageArrivesFromAnotherThread) {
    std::thread([] {
        const ThreadId self = CurrentThreadId();
        std::atomic<bool> ran{false};
        std::thread poster([&] {
            std::this_thread::sleep_for(50ms);
            PostThreadMessage(self, [&] { ran = true; });
        });
        const auto start = Clock::now();
        CurrentThreadLoop().WaitForMessages(start + 10s);
        const auto waited = Clock::now() - start;
        EXPECT_TRUE(CurrentThreadLoop().HasPending());
        EXPECT_LT(waited, 5s);
        EXPECT_FALSE(ran.load());  // waiting does not dispatch
        CurrentThreadLoop().DispatchPending();
        EXPECT_TRUE(ran.load());
        poster.join();
    }).join();
}

TEST(MessageLoop, WaitEndsAtItsDeadlineWhenNothingArrives) {
    std::thread([] {
        const auto start = Clock::now();
        CurrentThreadLoop().WaitForMessages(start + 60ms);
        EXPECT_GE(Clock::now() - start, 60ms);
    }).join();
}

TEST(MessageLoop, WaitReturnsAtOnceWhenAMessageIsAlreadyWaiting) {
    std::thread([] {
        ASSERT_TRUE(CurrentThreadLoop().Post([] {}));
        const auto start = Clock::now();
        CurrentThreadLoop().WaitForMessages(start + 10s);
        EXPECT_LT(Clock::now() - start, 5s);
        EXPECT_TRUE(CurrentThreadLoop().HasPending());
    }).join();
}

TEST(MessageLoop, WakeEndsAWaitWithoutAMessage) {
    std::promise<ThreadMessageLoop*> waiterLoop;
    std::thread waiter([&] {
        ThreadMessageLoop& loop = CurrentThreadLoop();
        waiterLoop.set_value(&loop);
        const auto start = Clock::now();
        loop.WaitForMessages(start + 10s);
        EXPECT_LT(Clock::now() - start, 5s);
        EXPECT_FALSE(loop.HasPending());
    });
    ThreadMessageLoop* loop = waiterLoop.get_future().get();
    std::this_thread::sleep_for(30ms);
    loop->Wake();
    waiter.join();
}

TEST(MessageLoop, WakeAllReachesEveryWaitingThread) {
    constexpr int kThreads = 3;
    std::atomic<int> ready{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < kThreads; ++i) {
        waiters.emplace_back([&] {
            ThreadMessageLoop& loop = CurrentThreadLoop();
            ++ready;
            const auto start = Clock::now();
            loop.WaitForMessages(start + 10s);
            EXPECT_LT(Clock::now() - start, 5s);
        });
    }
    while (ready.load() < kThreads) std::this_thread::sleep_for(1ms);
    WakeAllThreadLoops();
    for (auto& waiter : waiters) waiter.join();
}

// An installed loop that records what reaches it.
class RecordingLoop final : public ThreadMessageLoop {
public:
    void DispatchPending() override {
        ++dispatches;
        for (auto& message : messages) message();
        messages.clear();
    }
    void WaitForMessages(Clock::time_point) override {}
    bool HasPending() override { return !messages.empty(); }
    void Wake() override { ++wakes; }
    bool Post(std::function<void()> message) override {
        messages.push_back(std::move(message));
        return true;
    }
    bool PostQuit(int exitCode) override {
        quitCodes.push_back(exitCode);
        return true;
    }

    std::vector<std::function<void()>> messages;
    std::vector<int> quitCodes;
    int dispatches = 0;
    int wakes = 0;
};

TEST(MessageLoop, AnInstalledLoopTakesOverPostsAndQueuedMessages) {
    std::thread([] {
        std::vector<int> order;
        const ThreadId self = CurrentThreadId();
        ASSERT_TRUE(PostThreadMessage(self, [&] { order.push_back(1); }));
        ASSERT_TRUE(PostQuitMessage(3));

        RecordingLoop installed;
        InstallThreadMessageLoop(&installed);
        EXPECT_EQ(&CurrentThreadLoop(), &installed);
        EXPECT_EQ(installed.messages.size(), 1u);
        EXPECT_EQ(installed.quitCodes, std::vector<int>{3});

        ASSERT_TRUE(PostThreadMessage(self, [&] { order.push_back(2); }));
        WakeAllThreadLoops();
        EXPECT_GE(installed.wakes, 1);
        CurrentThreadLoop().DispatchPending();
        EXPECT_EQ(order, (std::vector<int>{1, 2}));

        InstallThreadMessageLoop(nullptr);
        EXPECT_NE(&CurrentThreadLoop(), &installed);
        ASSERT_TRUE(PostThreadMessage(self, [&] { order.push_back(3); }));
        EXPECT_TRUE(installed.messages.empty());
        CurrentThreadLoop().DispatchPending();
        EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    }).join();
}

TEST(MessageLoop, MessagesLeftAtThreadEndAreDestroyed) {
    auto token = std::make_shared<int>(0);
    std::weak_ptr<int> watch = token;
    ThreadId id = 0;
    std::thread([&] {
        id = CurrentThreadId();
        ASSERT_TRUE(PostThreadMessage(id, [token = std::move(token)] { ++*token; }));
    }).join();
    EXPECT_TRUE(watch.expired());
}

}  // namespace
}  // namespace lumeno::platform
