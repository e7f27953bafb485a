// The worker registry: workers run on their own threads, are counted while they run, and
// WaitForWorkers sees them finish (the shutdown flag has its own test program).
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <stdexcept>
#include <thread>

#include "platform/system/worker_threads.h"

namespace lumeno::platform {
namespace {

using namespace std::chrono_literals;

TEST(WorkerThreads, RunTheRoutineOnAnotherThreadAndWaitSeesItFinish) {
    ASSERT_TRUE(WaitForWorkers(5s));
    std::promise<std::thread::id> ranOn;
    ASSERT_TRUE(StartWorkerThread([&] { ranOn.set_value(std::this_thread::get_id()); }));
    EXPECT_NE(ranOn.get_future().get(), std::this_thread::get_id());
    EXPECT_TRUE(WaitForWorkers(5s));
    EXPECT_EQ(RunningWorkers(), 0);
}

TEST(WorkerThreads, AreCountedUntilTheirRoutineEnds) {
    ASSERT_TRUE(WaitForWorkers(5s));
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<int> started{0};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(StartWorkerThread([released, &started] {
            ++started;
            released.wait();
        }));
    }
    EXPECT_EQ(RunningWorkers(), 3);
    EXPECT_FALSE(WaitForWorkers(30ms));
    release.set_value();
    EXPECT_TRUE(WaitForWorkers(5s));
    EXPECT_EQ(started.load(), 3);
    EXPECT_EQ(RunningWorkers(), 0);
}

TEST(WorkerThreads, AnEscapingExceptionEndsOnlyThatWorker) {
    ASSERT_TRUE(WaitForWorkers(5s));
    ASSERT_TRUE(StartWorkerThread([] { throw std::runtime_error("worker failed"); }));
    EXPECT_TRUE(WaitForWorkers(5s));
    EXPECT_EQ(RunningWorkers(), 0);
}

TEST(WorkerThreads, ReleaseWhatTheRoutineCapturedBeforeCountingAsFinished) {
    ASSERT_TRUE(WaitForWorkers(5s));
    auto captured = std::make_shared<int>(1);
    std::weak_ptr<int> watch = captured;
    ASSERT_TRUE(StartWorkerThread([captured = std::move(captured)] { ++*captured; }));
    ASSERT_TRUE(WaitForWorkers(5s));
    EXPECT_TRUE(watch.expired());
}

TEST(WorkerThreads, AnEmptyRoutineStartsNothing) {
    EXPECT_FALSE(StartWorkerThread(nullptr));
    EXPECT_EQ(RunningWorkers(), 0);
}

TEST(WorkerThreads, ShutdownIsNotRequestedByRunningWorkers) {
    ASSERT_TRUE(StartWorkerThread([] {}));
    EXPECT_TRUE(WaitForWorkers(5s));
    EXPECT_FALSE(ShutdownRequested());
}

}  // namespace
}  // namespace lumeno::platform
