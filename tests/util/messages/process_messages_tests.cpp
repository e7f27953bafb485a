// ProcessMessages pumps only the calling thread's queue, in order, and leaves the quit
// message queued; StartThread runs workers that the registry sees finish.
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>
#include <vector>

#include "platform/system/message_loop.h"
#include "platform/system/worker_threads.h"
#include "util/runtime_services.h"

namespace lumeno {
namespace {

using namespace std::chrono_literals;

TEST(ProcessMessages, DispatchesOnlyTheCallingThreadsMessagesInOrder) {
    std::promise<platform::ThreadId> otherId;
    std::promise<void> mainDispatched;
    std::vector<int> otherRan;
    std::thread other([&] {
        otherId.set_value(platform::CurrentThreadId());
        mainDispatched.get_future().wait();
        EXPECT_TRUE(otherRan.empty());
        ProcessMessages();
    });
    const platform::ThreadId otherThread = otherId.get_future().get();
    std::vector<int> mineRan;
    for (int i = 1; i <= 4; ++i) {
        ASSERT_TRUE(platform::PostThreadMessage(platform::CurrentThreadId(),
                                                [&, i] { mineRan.push_back(i); }));
        ASSERT_TRUE(platform::PostThreadMessage(otherThread, [&, i] { otherRan.push_back(i); }));
    }
    ProcessMessages();
    EXPECT_EQ(mineRan, (std::vector<int>{1, 2, 3, 4}));
    mainDispatched.set_value();
    other.join();
    EXPECT_EQ(otherRan, (std::vector<int>{1, 2, 3, 4}));
}

TEST(ProcessMessages, ReturnsAtOnceOnAnEmptyQueue) {
    std::thread([] {
        ProcessMessages();
        EXPECT_FALSE(platform::CurrentThreadLoop().HasPending());
    }).join();
}

TEST(ProcessMessages, StopsAtTheQuitMessageAndLeavesItQueued) {
    std::thread([] {
        std::vector<int> ran;
        const platform::ThreadId self = platform::CurrentThreadId();
        ASSERT_TRUE(platform::PostThreadMessage(self, [&] { ran.push_back(1); }));
        ASSERT_TRUE(platform::PostQuitMessage(0));
        ASSERT_TRUE(platform::PostThreadMessage(self, [&] { ran.push_back(2); }));
        ProcessMessages();
        ProcessMessages();
        EXPECT_EQ(ran, std::vector<int>{1});
        EXPECT_EQ(platform::QueuedQuitCode(), 0);
    }).join();
}

// A loop installed by a thread with its own event loop: ProcessMessages must use it.
class CountingLoop final : public platform::ThreadMessageLoop {
public:
    void DispatchPending() override { ++dispatches; }
    void WaitForMessages(std::chrono::steady_clock::time_point) override {}
    bool HasPending() override { return false; }
    void Wake() override {}
    bool Post(std::function<void()>) override { return true; }
    int dispatches = 0;
};

TEST(ProcessMessages, UsesTheInstalledLoopOfTheThread) {
    std::thread([] {
        CountingLoop loop;
        platform::InstallThreadMessageLoop(&loop);
        ProcessMessages();
        ProcessMessages();
        platform::InstallThreadMessageLoop(nullptr);
        ProcessMessages();
        EXPECT_EQ(loop.dispatches, 2);
    }).join();
}

TEST(StartThread, RunsTheRoutineOnAnotherThreadAndWaitForWorkersSeesItFinish) {
    ASSERT_TRUE(platform::WaitForWorkers(5s));
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> finished{false};
    std::promise<std::thread::id> ranOn;
    ASSERT_TRUE(StartThread([&, released] {
        ranOn.set_value(std::this_thread::get_id());
        released.wait();
        finished = true;
    }));
    EXPECT_NE(ranOn.get_future().get(), std::this_thread::get_id());
    EXPECT_EQ(platform::RunningWorkers(), 1);
    EXPECT_FALSE(platform::WaitForWorkers(20ms));
    release.set_value();
    EXPECT_TRUE(platform::WaitForWorkers(5s));
    EXPECT_TRUE(finished.load());
}

TEST(StartThread, AWorkerCanPumpItsOwnQueue) {
    std::promise<platform::ThreadId> workerId;
    std::promise<void> posted;
    std::atomic<int> ran{0};
    ASSERT_TRUE(StartThread([&] {
        workerId.set_value(platform::CurrentThreadId());
        posted.get_future().wait();
        ProcessMessages();
    }));
    const platform::ThreadId worker = workerId.get_future().get();
    ASSERT_TRUE(platform::PostThreadMessage(worker, [&] { ++ran; }));
    posted.set_value();
    ASSERT_TRUE(platform::WaitForWorkers(5s));
    EXPECT_EQ(ran.load(), 1);
}

}  // namespace
}  // namespace lumeno
