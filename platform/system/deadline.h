// Deadlines on the steady clock that saturate instead of overflowing: waits of "forever" or of
// thousands of years must not wrap around into the past.
#pragma once

#include <chrono>

namespace lumeno::platform {

using SteadyTime = std::chrono::steady_clock::time_point;

// from + span, or the latest representable time when that would overflow. Negative spans
// count as zero.
template <class Rep, class Period>
SteadyTime SaturatingDeadline(SteadyTime from, std::chrono::duration<Rep, Period> span) {
    using std::chrono::duration;
    using Clock = std::chrono::steady_clock;
    if (span <= span.zero()) return from;
    // Compare in floating point so that the check itself cannot overflow.
    const duration<long double> room = Clock::time_point::max() - from;
    const duration<long double> wanted = span;
    if (wanted >= room) return Clock::time_point::max();
    return from + std::chrono::duration_cast<Clock::duration>(span);
}

// Waits on a condition variable are cut into slices no longer than this, since some standard
// library versions mishandle absolute times far in the future. A slice ending early only
// makes the waiter look at its state once more.
inline constexpr std::chrono::hours kLongestWaitSlice{24};

inline SteadyTime SliceEnd(SteadyTime until) {
    const SteadyTime limit =
        SaturatingDeadline(std::chrono::steady_clock::now(), kLongestWaitSlice);
    return until < limit ? until : limit;
}

}  // namespace lumeno::platform
