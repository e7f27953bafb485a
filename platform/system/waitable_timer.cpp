// Waitable timers on the steady clock. A timer is only a due time; the wait computes the
// earliest due time of its timers and sleeps on the calling thread's message loop until then,
// so messages posted meanwhile end the wait at once.
#include "platform/system/waitable_timer.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/system/deadline.h"
#include "platform/system/message_loop.h"

namespace lumeno::platform {

class WaitableTimer {
public:
    explicit WaitableTimer(bool manualReset) : manualReset_(manualReset) {}

    void Arm(SteadyTime due) {
        std::lock_guard lock(mutex_);
        due_ = due;
    }

    // True when the timer is signalled; an automatic-reset timer is reset by reporting it.
    bool TakeSignal(SteadyTime now) {
        std::lock_guard lock(mutex_);
        if (!due_ || now < *due_) return false;
        if (!manualReset_) due_.reset();
        return true;
    }

    std::optional<SteadyTime> Due() {
        std::lock_guard lock(mutex_);
        return due_;
    }

private:
    std::mutex mutex_;
    const bool manualReset_;
    std::optional<SteadyTime> due_;  // empty: not armed (or already reported)
};

namespace {

using Ticks = std::chrono::duration<std::int64_t, std::ratio<1, 10'000'000>>;  // 100 ns

// 100-ns intervals between 1601-01-01 and 1970-01-01, the two epochs of absolute due times.
constexpr std::int64_t kEpochDifference = 116'444'736'000'000'000;

// How long from now until `dueTime` (see SetWaitableTimer); zero for a time already past.
std::chrono::duration<long double> TimeUntil(std::int64_t dueTime) {
    using std::chrono::duration;
    if (dueTime < 0)
        return duration<long double, Ticks::period>(-static_cast<long double>(dueTime));
    const auto sinceUnixEpoch = std::chrono::system_clock::now().time_since_epoch();
    const long double nowTicks =
        std::chrono::duration_cast<duration<long double, Ticks::period>>(sinceUnixEpoch).count() +
        static_cast<long double>(kEpochDifference);
    const long double left = static_cast<long double>(dueTime) - nowTicks;
    return duration<long double, Ticks::period>(std::max<long double>(0, left));
}

constexpr std::uint32_t kMaximumWaitObjects = 64;

}  // namespace

TimerHandle CreateWaitableTimerA(const void* securityAttributes, bool manualReset,
                                 const char* name) {
    if (securityAttributes != nullptr || (name != nullptr && *name != '\0')) return nullptr;
    return new (std::nothrow) WaitableTimer(manualReset);
}

bool SetWaitableTimer(TimerHandle timer, const std::int64_t* dueTime, std::int32_t period,
                      void* completionRoutine, void* completionArgument, bool resume) {
    (void)completionArgument;
    if (timer == nullptr || dueTime == nullptr || period != 0 || completionRoutine != nullptr ||
        resume) {
        return false;
    }
    timer->Arm(SaturatingDeadline(std::chrono::steady_clock::now(), TimeUntil(*dueTime)));
    return true;
}

std::uint32_t MsgWaitForMultipleObjects(std::uint32_t count, const TimerHandle* handles,
                                        bool waitAll, std::uint32_t milliseconds,
                                        std::uint32_t wakeMask) {
    if (waitAll || count > kMaximumWaitObjects || (count > 0 && handles == nullptr)) {
        return kWaitFailed;
    }
    if (std::any_of(handles, handles + count, [](TimerHandle h) { return h == nullptr; })) {
        return kWaitFailed;
    }
    const SteadyTime deadline = milliseconds == kInfinite
                                    ? SteadyTime::max()
                                    : SaturatingDeadline(std::chrono::steady_clock::now(),
                                                         std::chrono::milliseconds(milliseconds));
    const bool wantsMessages = wakeMask != 0;
    ThreadMessageLoop& loop = CurrentThreadLoop();

    bool waited = false;
    for (;;) {
        const SteadyTime now = std::chrono::steady_clock::now();
        for (std::uint32_t i = 0; i < count; ++i) {
            if (handles[i]->TakeSignal(now)) return kWaitObject0 + i;
        }
        if (wantsMessages && loop.HasPending()) return kWaitObject0 + count;
        if (now >= deadline) return kWaitTimeout;
        // A wait that was woken without a message still reports input, so that the caller
        // gets to look at its own state (for example whether the program is closing).
        if (waited) return kWaitObject0 + count;

        SteadyTime until = deadline;
        for (std::uint32_t i = 0; i < count; ++i) {
            if (auto due = handles[i]->Due()) until = std::min(until, *due);
        }
        if (wantsMessages) {
            loop.WaitForMessages(until);
            waited = true;
        } else {
            std::this_thread::sleep_until(SliceEnd(until));
        }
    }
}

bool CloseHandle(TimerHandle timer) {
    if (timer == nullptr) return false;
    delete timer;
    return true;
}

}  // namespace lumeno::platform
