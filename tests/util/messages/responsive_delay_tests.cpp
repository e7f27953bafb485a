// ResponsiveDelay's arithmetic and its loop, driven through a scripted environment: the step
// table, due times, immediate returns, dispatching between waits and the sleep fallbacks.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "util/responsive_delay.h"

namespace lumeno {
namespace {

using namespace std::chrono_literals;

struct StepCase {
    std::int64_t unit;
    std::int64_t milliseconds;
};

class DelayStep : public ::testing::TestWithParam<StepCase> {};

TEST_P(DelayStep, MatchesTheUnitTable) {
    EXPECT_EQ(DelayStepMilliseconds(GetParam().unit), GetParam().milliseconds);
}

INSTANTIATE_TEST_SUITE_P(Units, DelayStep,
                         ::testing::Values(StepCase{0, 1}, StepCase{1, 1000}, StepCase{2, 60000},
                                           StepCase{3, 3600000}, StepCase{4, 4}, StepCase{250, 250},
                                           StepCase{-5, -5}, StepCase{1000000, 1000000}));

struct DueCase {
    int duration;
    std::int64_t unit;
    std::int64_t dueTime;
};

class DelayDue : public ::testing::TestWithParam<DueCase> {};

TEST_P(DelayDue, IsDurationTimesStepInNegativeTicks) {
    EXPECT_EQ(DelayDueTime(GetParam().duration, GetParam().unit), GetParam().dueTime);
}

constexpr auto kMin64 = std::numeric_limits<std::int64_t>::min();
constexpr auto kMax64 = std::numeric_limits<std::int64_t>::max();

INSTANTIATE_TEST_SUITE_P(
    Durations, DelayDue,
    ::testing::Values(DueCase{500, 0, -5000000}, DueCase{2, 1, -20000000},
                      DueCase{1, 2, -600000000}, DueCase{1, 3, -36000000000},
                      DueCase{3, 7, -210000}, DueCase{0, 0, 0}, DueCase{0, 3, 0},
                      DueCase{-1, 0, 10000}, DueCase{-500, 0, 5000000},
                      DueCase{2147483647, 0, -21474836470000},
                      // a billion hours no longer fits: the ends of the range, not a wrap
                      DueCase{2147483647, 3, kMin64}, DueCase{-2147483647 - 1, 3, kMax64},
                      DueCase{1, kMax64, kMin64}));

// A scripted environment on a virtual clock: waits return the scripted results, a fired
// timer or a sleep moves the clock, and every call is recorded.
class ScriptedEnvironment final : public DelayEnvironment {
public:
    bool StartTimer(std::int64_t dueTime) override {
        calls.push_back("start " + std::to_string(dueTime));
        return timerStarts;
    }
    std::uint32_t WaitForTimerOrMessages() override {
        calls.push_back("wait");
        if (waitResults.empty()) return 0;
        const WaitStep step = waitResults.front();
        waitResults.erase(waitResults.begin());
        now += step.advance;
        return step.result;
    }
    void CloseTimer() override { calls.push_back("close"); }
    void DispatchMessages() override {
        calls.push_back("dispatch");
        ++dispatches;
        if (stopAfterDispatches > 0 && dispatches >= stopAfterDispatches) stop = true;
    }
    void Sleep(std::chrono::nanoseconds span) override {
        calls.push_back("sleep");
        slept += span;
        now += span;
    }
    std::chrono::steady_clock::time_point Now() override { return now; }
    bool StopRequested() override { return stop; }

    struct WaitStep {
        std::uint32_t result;
        std::chrono::nanoseconds advance;
    };

    bool timerStarts = true;
    std::vector<WaitStep> waitResults;
    std::vector<std::string> calls;
    std::chrono::nanoseconds slept{0};
    std::chrono::steady_clock::time_point now{};
    int dispatches = 0;
    int stopAfterDispatches = 0;
    bool stop = false;
};

using Calls = std::vector<std::string>;

TEST(ResponsiveDelayLoop, WaitsOnceWhenTheTimerFires) {
    ScriptedEnvironment env;
    env.waitResults = {{0, 500ms}};
    EXPECT_TRUE(ResponsiveDelay(500, 0, env));
    EXPECT_EQ(env.calls, (Calls{"start -5000000", "wait", "close"}));
}

TEST(ResponsiveDelayLoop, DispatchesMessagesAndWaitsAgainUntilTheTimer) {
    ScriptedEnvironment env;
    env.waitResults = {{1, 100ms}, {1, 100ms}, {0, 300ms}};
    EXPECT_TRUE(ResponsiveDelay(2, 1, env));
    EXPECT_EQ(env.calls,
              (Calls{"start -20000000", "wait", "dispatch", "wait", "dispatch", "wait", "close"}));
    EXPECT_EQ(env.slept, 0ns);
}

TEST(ResponsiveDelayLoop, ZeroAndNegativeDurationsReturnWithoutATimer) {
    for (int duration : {0, -1, -500, std::numeric_limits<int>::min()}) {
        for (std::int64_t unit : {0, 1, 3}) {
            ScriptedEnvironment env;
            EXPECT_TRUE(ResponsiveDelay(duration, unit, env));
            EXPECT_TRUE(env.calls.empty()) << duration << " unit " << unit;
        }
    }
}

TEST(ResponsiveDelayLoop, ANegativeStepWithAPositiveDurationReturnsAtOnce) {
    ScriptedEnvironment env;
    EXPECT_TRUE(ResponsiveDelay(10, -5, env));
    EXPECT_TRUE(env.calls.empty());
}

TEST(ResponsiveDelayLoop, AFailingTimerSleepsTheWholeTime) {
    ScriptedEnvironment env;
    env.timerStarts = false;
    EXPECT_TRUE(ResponsiveDelay(500, 0, env));
    EXPECT_EQ(env.calls, (Calls{"start -5000000", "sleep"}));
    EXPECT_EQ(env.slept, 500ms);
}

TEST(ResponsiveDelayLoop, AFailingWaitSleepsWhatIsLeftAndClosesTheTimer) {
    ScriptedEnvironment env;
    env.waitResults = {{1, 120ms}, {0xFFFFFFFFu, 80ms}};
    EXPECT_TRUE(ResponsiveDelay(500, 0, env));
    EXPECT_EQ(env.calls, (Calls{"start -5000000", "wait", "dispatch", "wait", "sleep", "close"}));
    EXPECT_EQ(env.slept, 300ms);
}

TEST(ResponsiveDelayLoop, AnUnexpectedWaitResultIsAFailureNotInput) {
    ScriptedEnvironment env;
    env.waitResults = {{258, 0ms}};  // a timeout can only come from a broken wait here
    EXPECT_TRUE(ResponsiveDelay(1, 1, env));
    EXPECT_EQ(env.calls, (Calls{"start -10000000", "wait", "sleep", "close"}));
    EXPECT_EQ(env.slept, 1s);
}

TEST(ResponsiveDelayLoop, AWaitFailingAfterTheDueTimeSleepsNoMore) {
    ScriptedEnvironment env;
    env.waitResults = {{0xFFFFFFFFu, 700ms}};
    EXPECT_TRUE(ResponsiveDelay(500, 0, env));
    EXPECT_EQ(env.calls, (Calls{"start -5000000", "wait", "close"}));
    EXPECT_EQ(env.slept, 0ns);
}

TEST(ResponsiveDelayLoop, EndsEarlyWhenTheProgramCloses) {
    ScriptedEnvironment env;
    env.waitResults = {{1, 10ms}, {1, 10ms}, {1, 10ms}};
    env.stopAfterDispatches = 2;
    EXPECT_TRUE(ResponsiveDelay(3, 3, env));
    EXPECT_EQ(env.calls,
              (Calls{"start -108000000000", "wait", "dispatch", "wait", "dispatch", "close"}));
}

TEST(ResponsiveDelayLoop, TheLongestFallbackSleepDoesNotOverflow) {
    ScriptedEnvironment env;
    env.timerStarts = false;
    EXPECT_TRUE(ResponsiveDelay(std::numeric_limits<int>::max(), 3, env));
    EXPECT_EQ(env.slept, std::chrono::nanoseconds::max());
}

}  // namespace
}  // namespace lumeno
