#pragma once
// When a periodic timer ticks next. Portable: plain arithmetic on times.

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

} // namespace forms
