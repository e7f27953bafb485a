// ResponsiveDelay: pauses the calling thread for a while without blocking its message queue.
// The messages posted to the thread during the pause are dispatched as they arrive.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>

namespace lumeno {

// The length of one duration step in milliseconds: unit 0 one millisecond, 1 a second, 2 a
// minute, 3 an hour, any other value that many milliseconds.
std::int64_t DelayStepMilliseconds(std::int64_t unit);

// The timer's relative due time in 100-nanosecond units (negative: relative to now):
// duration * step * -10000 in double precision, truncated toward zero. Values beyond the range
// of a 64-bit integer saturate at its ends instead of being undefined.
std::int64_t DelayDueTime(int duration, std::int64_t unit);

// What the delay runs on: a one-shot timer, the wait for the timer or the thread's messages,
// the message pump and a plain sleep. The real one uses the waitable timer of
// platform/system; tests hand in their own to drive failures and time.
class DelayEnvironment {
public:
    virtual ~DelayEnvironment() = default;

    // Creates a timer and arms it with `dueTime` (100-ns units, negative: relative). False when
    // either step fails; then no timer is left open.
    virtual bool StartTimer(std::int64_t dueTime) = 0;
    // Waits for the timer or for messages: 0 when the timer fired, 1 when messages are
    // waiting (or the wait was woken), anything else when the wait failed.
    virtual std::uint32_t WaitForTimerOrMessages() = 0;
    virtual void CloseTimer() = 0;
    // Dispatches the calling thread's waiting messages.
    virtual void DispatchMessages() = 0;
    virtual void Sleep(std::chrono::nanoseconds span) = 0;
    virtual std::chrono::steady_clock::time_point Now() = 0;
    // True when the program is closing and the delay should end early.
    virtual bool StopRequested() = 0;
};

// The environment of the running program: waitable timer, the thread's message loop,
// ProcessMessages, std::this_thread::sleep_for, the steady clock and the shutdown flag.
std::unique_ptr<DelayEnvironment> MakeSystemDelayEnvironment();

// Waits `duration` steps of `unit` (see DelayStepMilliseconds) on a waitable timer, dispatching
// the thread's messages whenever they arrive before the timer fires. A duration of 0 or less
// returns at once. If the timer cannot be started or the wait fails, the rest of the time is
// slept instead. Ends early when the program is closing. Always true.
bool ResponsiveDelay(int duration, std::int64_t unit = 0);
bool ResponsiveDelay(int duration, std::int64_t unit, DelayEnvironment& environment);

}  // namespace lumeno
