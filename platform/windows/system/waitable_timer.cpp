// Waitable timers and the wait for timers or the thread's messages on Kernel32's
// CreateWaitableTimerA / SetWaitableTimer / CloseHandle and User32's MsgWaitForMultipleObjects.
// A TimerHandle is the kernel handle itself. The argument rules of the header are checked here
// first, so both platforms accept and refuse the same calls.
#include "platform/windows/win32.h"

#include "platform/system/waitable_timer.h"

#include <algorithm>

#include "platform/system/message_loop.h"

namespace lumeno::platform {
namespace {

constexpr std::uint32_t kMaximumWaitObjects = 64;

HANDLE KernelHandle(TimerHandle timer) {
    return reinterpret_cast<HANDLE>(timer);
}

}  // namespace

TimerHandle CreateWaitableTimerA(const void* securityAttributes, bool manualReset,
                                 const char* name) {
    if (securityAttributes != nullptr || (name != nullptr && *name != '\0')) return nullptr;
    return reinterpret_cast<TimerHandle>(::CreateWaitableTimerA(nullptr, manualReset, nullptr));
}

bool SetWaitableTimer(TimerHandle timer, const std::int64_t* dueTime, std::int32_t period,
                      void* completionRoutine, void* completionArgument, bool resume) {
    if (timer == nullptr || dueTime == nullptr || period != 0 || completionRoutine != nullptr ||
        resume) {
        return false;
    }
    LARGE_INTEGER due;
    due.QuadPart = *dueTime;
    return ::SetWaitableTimer(KernelHandle(timer), &due, 0, nullptr, completionArgument, FALSE) !=
           FALSE;
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
    // A thread that waits for messages is known to the loop registry from here on, so that a
    // wake (the program closing) reaches it as a message.
    if (wakeMask != 0) CurrentThreadLoop();
    HANDLE kernelHandles[kMaximumWaitObjects];
    for (std::uint32_t i = 0; i < count; ++i) kernelHandles[i] = KernelHandle(handles[i]);
    return ::MsgWaitForMultipleObjects(count, kernelHandles, FALSE, milliseconds, wakeMask);
}

bool CloseHandle(TimerHandle timer) {
    if (timer == nullptr) return false;
    return ::CloseHandle(KernelHandle(timer)) != FALSE;
}

}  // namespace lumeno::platform
