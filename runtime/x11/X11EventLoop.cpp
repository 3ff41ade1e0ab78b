#include "X11EventLoop.h"

#include "TimerSchedule.h"
#include "X11Connection.h"
#include "X11State.h"
#include "X11Window.h"

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <optional>

namespace forms::x11 {
namespace {

using Clock = TimerQueue::Clock;

TimerQueue& Timers() { return State().timers; }
EventFilter& Filter() { return State().filter; }

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

// Ticks every timer that is due once (TimerQueue::TickDue), unless its
// window is gone.
void TickDueTimers()
{
    Timers().TickDue(Clock::now(), [](TimerQueue::Owner owner, std::size_t index) {
        if (X11Window* window = WindowOf(static_cast<::Window>(owner)))
            window->Tick(index);
    });
}

// Milliseconds until the next timer is due; -1 when none runs.
int MillisecondsToNextTimer()
{
    std::optional<Clock::time_point> next = Timers().NextDue();
    if (!next)
        return -1;
    auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(*next - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(wait + 1, 0, 60000));
}

// Waits at most longest ms (-1: as long as it takes).
void WaitForEventOrTimer(int longest)
{
    ::Display* display = X11Connection::Get().Display();
    XFlush(display);
    if (XPending(display) > 0)
        return;
    pollfd connection { ConnectionNumber(display), POLLIN, 0 };
    ::poll(&connection, 1, LongestWait(MillisecondsToNextTimer(), longest));
}

} // namespace

void StartTimer(::Window window, std::size_t index, unsigned interval)
{
    Timers().Start(window, index, std::chrono::milliseconds(interval), Clock::now());
}

void StopTimers(::Window window) { Timers().StopAll(window); }

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
