#pragma once
// When a periodic timer ticks next, and how long an event loop may wait for
// it. Portable: plain arithmetic on times.

#include <chrono>

namespace forms {

// The time a timer of interval is next due, after a tick that was due at
// due and runs at now: one interval after due, so that a late tick moves no
// later one; when the program was held up past that, the first time on the
// same schedule after now, so that the ticks missed meanwhile are dropped
// rather than delivered in a burst.
template <typename TimePoint, typename Duration>
TimePoint NextTickDue(TimePoint due, Duration interval, TimePoint now)
{
    TimePoint next = due + interval;
    if (next > now || interval <= Duration::zero())
        return next;
    auto missed = (now - next) / interval + 1;
    return next + missed * interval;
}

// How many milliseconds a loop waiting for an event may wait: until the next
// timer is due (toNextTimer, -1 when none runs), but, where the loop must
// check on something every so often, no longer than longest (-1: no such
// check). -1 waits for an event however long it takes; a check must come
// round even when no timer runs, or a watch with nothing to wake it blocks.
constexpr int LongestWait(int toNextTimer, int longest)
{
    return longest >= 0 && (toNextTimer < 0 || toNextTimer > longest) ? longest : toNextTimer;
}

} // namespace forms
