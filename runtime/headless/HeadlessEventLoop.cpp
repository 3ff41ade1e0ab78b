// Timers on a clock of the back-end's own, which moves only when a test (or
// the event loop, with nothing else to wait for) lets time pass. Their
// rules are the X11 loop's, the same queue's (runtime/portable/TimerQueue.h).
#include "HeadlessControl.h"
#include "HeadlessEventLoop.h"
#include "HeadlessState.h"
#include "HeadlessWindow.h"

#include <algorithm>
#include <cstdint>

namespace forms::headless {
namespace {

using std::chrono::milliseconds;

TimerQueue::Clock::time_point OnTheClock(milliseconds at) { return TimerQueue::Clock::time_point {} + at; }

TimerQueue::Owner OwnerOf(HWND window) { return reinterpret_cast<TimerQueue::Owner>(window); }

// When the next timer is due; now when none runs.
milliseconds NextDue()
{
    auto due = State().timers.NextDue();
    return due ? std::chrono::duration_cast<milliseconds>(*due - OnTheClock(milliseconds::zero())) : State().now;
}

} // namespace

milliseconds Now() { return State().now; }

void StartTimer(HWND window, std::size_t index, unsigned interval)
{
    State().timers.Start(OwnerOf(window), index, milliseconds(interval), OnTheClock(State().now));
}

void StopTimers(HWND window) { State().timers.StopAll(OwnerOf(window)); }

bool AnyTimerRuns() { return !State().timers.Empty(); }

void TickDueTimers()
{
    State().timers.TickDue(OnTheClock(State().now), [](TimerQueue::Owner owner, std::size_t index) {
        if (HeadlessWindow* window = LiveWindow(reinterpret_cast<HWND>(owner)))
            window->Tick(index);
    });
}

void AdvanceClock(milliseconds by)
{
    milliseconds until = State().now + std::max(by, milliseconds::zero());
    while (AnyTimerRuns() && NextDue() <= until) {
        State().now = std::max(State().now, NextDue());
        TickDueTimers();
    }
    State().now = until;
}

void RunToNextTimer()
{
    State().now = std::max(State().now, NextDue());
    TickDueTimers();
}

} // namespace forms::headless
