#include "X11EventLoop.h"

#include "TimerSchedule.h"
#include "X11Connection.h"
#include "X11Window.h"

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <vector>

namespace forms::x11 {
namespace {

using Clock = std::chrono::steady_clock;

struct RunningTimer {
    ::Window window;
    std::size_t index;
    std::chrono::milliseconds interval;
    Clock::time_point due;
    // New at every (re)start: a timer restarted during a round of ticks is
    // another timer, due a whole interval after its restart.
    std::uint64_t serial;
};

std::vector<RunningTimer>& Timers()
{
    static std::vector<RunningTimer> timers;
    return timers;
}

EventFilter& Filter()
{
    static EventFilter filter;
    return filter;
}

bool HandleQueuedEvents()
{
    ::Display* display = X11Connection::Get().Display();
    bool any = false;
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        DispatchEvent(event);
        any = true;
    }
    return any;
}

// Ticks the timer started as serial, unless a tick before it in this round
// stopped or restarted it (or destroyed its window).
void TickIfStillRunning(std::uint64_t serial)
{
    auto& timers = Timers();
    auto timer = std::find_if(timers.begin(), timers.end(), [&](const RunningTimer& t) { return t.serial == serial; });
    if (timer == timers.end())
        return;
    std::size_t index = timer->index;
    if (X11Window* window = WindowOf(timer->window))
        window->Tick(index); // may change the timers: timer is not used after this
}

// Ticks every timer that is due once, however late it is: like the
// platform's own timers, a late timer never ticks twice in a row to catch up,
// and keeps its schedule.
void TickDueTimers()
{
    Clock::time_point now = Clock::now();
    // Kept from round to round, so that a tick allocates nothing.
    static std::vector<std::uint64_t> due;
    due.clear();
    for (RunningTimer& timer : Timers()) {
        if (timer.due > now)
            continue;
        due.push_back(timer.serial);
        timer.due = NextTickDue(timer.due, timer.interval, now);
    }
    for (std::uint64_t serial : due)
        TickIfStillRunning(serial);
}

// Milliseconds until the next timer is due; -1 when none runs.
int MillisecondsToNextTimer()
{
    if (Timers().empty())
        return -1;
    auto next = std::min_element(Timers().begin(), Timers().end(),
        [](const RunningTimer& a, const RunningTimer& b) { return a.due < b.due; })->due;
    auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(wait + 1, 0, 60000));
}

// Waits at most longest ms (-1: as long as it takes).
void WaitForEventOrTimer(int longest)
{
    ::Display* display = X11Connection::Get().Display();
    XFlush(display);
    if (XPending(display) > 0)
        return;
    int wait = MillisecondsToNextTimer();
    if (longest >= 0 && (wait < 0 || wait > longest))
        wait = longest;
    pollfd connection { ConnectionNumber(display), POLLIN, 0 };
    ::poll(&connection, 1, wait);
}

} // namespace

void StartTimer(::Window window, std::size_t index, unsigned interval)
{
    auto& timers = Timers();
    std::erase_if(timers, [&](const RunningTimer& t) { return t.window == window && t.index == index; });
    // An interval of 0 stops the timer, as a disabled one.
    if (interval == 0)
        return;
    static std::uint64_t lastSerial = 0;
    std::chrono::milliseconds period(interval);
    timers.push_back(RunningTimer { window, index, period, Clock::now() + period, ++lastSerial });
}

void StopTimers(::Window window)
{
    std::erase_if(Timers(), [&](const RunningTimer& t) { return t.window == window; });
}

void SetEventFilter(EventFilter filter) { Filter() = std::move(filter); }

void DispatchEvent(XEvent& event)
{
    if (Filter() && Filter()(event))
        return;
    if (X11Window* window = WindowOf(event.xany.window))
        window->HandleEvent(event);
}

void PumpPending()
{
    HandleQueuedEvents();
    TickDueTimers();
    XFlush(X11Connection::Get().Display());
}

void PumpUntil(const std::function<bool()>& done, int checkEvery)
{
    while (!done()) {
        WaitForEventOrTimer(checkEvery);
        PumpPending();
    }
}

} // namespace forms::x11
