// Waitable timers and the wait for a timer or the thread's messages, in the shapes of the
// platform's CreateWaitableTimerA / SetWaitableTimer / MsgWaitForMultipleObjects / CloseHandle.
// The wait sleeps on the calling thread's message loop until the earliest due time or a
// message: no polling.
#pragma once

#include <cstdint>
#include <memory>

namespace lumeno::platform {

class WaitableTimer;
using TimerHandle = WaitableTimer*;

inline constexpr std::uint32_t kInfinite = 0xFFFFFFFFu;
inline constexpr std::uint32_t kWaitObject0 = 0;
inline constexpr std::uint32_t kWaitTimeout = 258;
inline constexpr std::uint32_t kWaitFailed = 0xFFFFFFFFu;
// Key, mouse move, mouse button, posted message, timer, paint, sent message, hot key.
inline constexpr std::uint32_t kQsAllInputMask = 0xFF;

// A new unarmed timer, or nullptr. Only unnamed timers without security attributes exist here;
// anything else fails.
TimerHandle CreateWaitableTimerA(const void* securityAttributes, bool manualReset,
                                 const char* name);

// Arms the timer. dueTime is in 100-nanosecond units: negative is relative to now, positive an
// absolute time counted from 1601-01-01 UTC (a time already past fires at once). Only one-shot
// timers (period 0) without completion routine are supported; false otherwise.
bool SetWaitableTimer(TimerHandle timer, const std::int64_t* dueTime, std::int32_t period,
                      void* completionRoutine, void* completionArgument, bool resume);

// Waits until one of the timers fires, a message arrives for the calling thread (when wakeMask
// is not 0), the loop is woken, or `milliseconds` passed (kInfinite: never). Returns
// kWaitObject0 + i for timer i (an automatic-reset timer is unsignalled again), kWaitObject0 +
// count when input is waiting, kWaitTimeout, or kWaitFailed for bad arguments (no handle, a
// null handle, more than 64, waitAll).
std::uint32_t MsgWaitForMultipleObjects(std::uint32_t count, const TimerHandle* handles,
                                        bool waitAll, std::uint32_t milliseconds,
                                        std::uint32_t wakeMask);

// Destroys the timer. False for nullptr.
bool CloseHandle(TimerHandle timer);

struct TimerCloser {
    void operator()(TimerHandle timer) const { CloseHandle(timer); }
};
using UniqueTimer = std::unique_ptr<WaitableTimer, TimerCloser>;

}  // namespace lumeno::platform
