// ResponsiveDelay on a waitable timer and the thread's message wait, with a plain sleep as the
// fallback when the timer or the wait fails: the wait loop alone would never end then.
#include "util/responsive_delay.h"

#include <cmath>
#include <limits>
#include <thread>

#include "platform/system/waitable_timer.h"
#include "platform/system/worker_threads.h"
#include "util/runtime_services.h"

namespace lumeno {
namespace {

constexpr std::uint32_t kTimerFired = 0;
constexpr std::uint32_t kMessagesWaiting = 1;

class SystemDelayEnvironment final : public DelayEnvironment {
public:
    bool StartTimer(std::int64_t dueTime) override {
        timer_.reset(platform::CreateWaitableTimerA(nullptr, false, nullptr));
        if (!timer_) return false;
        if (!platform::SetWaitableTimer(timer_.get(), &dueTime, 0, nullptr, nullptr, false)) {
            timer_.reset();
            return false;
        }
        return true;
    }

    std::uint32_t WaitForTimerOrMessages() override {
        platform::TimerHandle handles[] = {timer_.get()};
        return platform::MsgWaitForMultipleObjects(1, handles, false, platform::kInfinite,
                                                   platform::kQsAllInputMask);
    }

    void CloseTimer() override { timer_.reset(); }
    void DispatchMessages() override { ProcessMessages(); }
    void Sleep(std::chrono::nanoseconds span) override { std::this_thread::sleep_for(span); }
    std::chrono::steady_clock::time_point Now() override {
        return std::chrono::steady_clock::now();
    }
    bool StopRequested() override { return platform::ShutdownRequested(); }

private:
    platform::UniqueTimer timer_;
};

// 100-ns units to nanoseconds, saturating at the largest span a sleep can take.
std::chrono::nanoseconds TicksToNanoseconds(long double ticks) {
    const long double nanoseconds = ticks * 100.0L;
    constexpr auto kLongest = std::chrono::nanoseconds::max();
    if (nanoseconds >= static_cast<long double>(kLongest.count())) return kLongest;
    if (nanoseconds <= 0) return std::chrono::nanoseconds::zero();
    return std::chrono::nanoseconds(static_cast<std::int64_t>(nanoseconds));
}

}  // namespace

std::int64_t DelayStepMilliseconds(std::int64_t unit) {
    switch (unit) {
        case 0:
            return 1;
        case 1:
            return 1000;
        case 2:
            return 60000;
        case 3:
            return 3600000;
        default:
            return unit;
    }
}

std::int64_t DelayDueTime(int duration, std::int64_t unit) {
    const double step = static_cast<double>(DelayStepMilliseconds(unit));
    const double due = static_cast<double>(duration) * step * -10000.0;
    // Converting a double outside the int64 range is undefined; the largest durations (a
    // billion hours) reach it, so clamp to the ends. 2^63 itself is exact in double.
    constexpr double kLimit = 9223372036854775808.0;
    if (std::isnan(due)) return 0;
    if (due >= kLimit) return std::numeric_limits<std::int64_t>::max();
    if (due <= -kLimit) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(due);  // truncates toward zero
}

std::unique_ptr<DelayEnvironment> MakeSystemDelayEnvironment() {
    return std::make_unique<SystemDelayEnvironment>();
}

bool ResponsiveDelay(int duration, std::int64_t unit) {
    SystemDelayEnvironment environment;
    return ResponsiveDelay(duration, unit, environment);
}

bool ResponsiveDelay(int duration, std::int64_t unit, DelayEnvironment& environment) {
    const std::int64_t dueTime = DelayDueTime(duration, unit);
    // A due time of 0 or above means no time to wait (a zero or negative duration, or a
    // negative step). Passed on as is, a positive value would be an absolute date, which for
    // the largest negative durations lies thousands of years ahead instead of in the past.
    if (dueTime >= 0) return true;

    const auto start = environment.Now();
    const long double totalTicks = -static_cast<long double>(dueTime);
    auto sleepRemaining = [&] {
        const auto elapsed = environment.Now() - start;
        const long double elapsedTicks =
            std::chrono::duration<long double, std::ratio<1, 10'000'000>>(elapsed).count();
        const auto rest = TicksToNanoseconds(totalTicks - elapsedTicks);
        if (rest > rest.zero()) environment.Sleep(rest);
    };

    if (!environment.StartTimer(dueTime)) {
        sleepRemaining();
        return true;
    }
    for (;;) {
        const std::uint32_t result = environment.WaitForTimerOrMessages();
        if (result == kTimerFired) break;
        if (result != kMessagesWaiting) {
            sleepRemaining();
            break;
        }
        environment.DispatchMessages();
        if (environment.StopRequested()) break;
    }
    environment.CloseTimer();
    return true;
}

}  // namespace lumeno
