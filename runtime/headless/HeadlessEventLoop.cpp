// Timers on a clock of the back-end's own, which moves only when a test (or
// the event loop, with nothing else to wait for) lets time pass. Their
// schedule is the one the X11 loop keeps: each tick one interval after the
// previous one was due.
#include "HeadlessControl.h"
#include "HeadlessEventLoop.h"
#include "HeadlessWindow.h"
#include "TimerSchedule.h"

#include <algorithm>
#include <vector>

namespace forms::headless {
namespace {

using std::chrono::milliseconds;

struct RunningTimer {
    HWND window;
    std::size_t index;
    milliseconds interval;
    milliseconds due;
};

milliseconds g_now { 0 };

std::vector<RunningTimer>& Timers()
{
    static std::vector<RunningTimer> timers;
    return timers;
}

bool IsRunning(HWND window, std::size_t index)
{
    return std::any_of(Timers().begin(), Timers().end(),
        [&](const RunningTimer& t) { return t.window == window && t.index == index; });
}

// When the next timer is due; g_now when none runs.
milliseconds NextDue()
{
    if (Timers().empty())
        return g_now;
    return std::min_element(Timers().begin(), Timers().end(),
        [](const RunningTimer& a, const RunningTimer& b) { return a.due < b.due; })->due;
}

} // namespace

milliseconds Now() { return g_now; }

void StartTimer(HWND window, std::size_t index, unsigned interval)
{
    std::erase_if(Timers(), [&](const RunningTimer& t) { return t.window == window && t.index == index; });
    if (interval == 0)
        return;
    milliseconds period(interval);
    Timers().push_back(RunningTimer { window, index, period, g_now + period });
}

void StopTimers(HWND window)
{
    std::erase_if(Timers(), [&](const RunningTimer& t) { return t.window == window; });
}

bool AnyTimerRuns() { return !Timers().empty(); }

// Every due timer ticks once. The list of due ones keeps its room between
// calls, so that a tick allocates nothing.
void TickDueTimers()
{
    static std::vector<RunningTimer> due;
    due.clear();
    for (RunningTimer& timer : Timers()) {
        if (timer.due > g_now)
            continue;
        due.push_back(timer);
        timer.due = NextTickDue(timer.due, timer.interval, g_now);
    }
    for (const RunningTimer& timer : due) {
        // A tick may stop or restart its own or another form's timers.
        HeadlessWindow* window = LiveWindow(timer.window);
        if (window && IsRunning(timer.window, timer.index))
            window->Tick(timer.index);
    }
}

void AdvanceClock(milliseconds by)
{
    milliseconds until = g_now + std::max(by, milliseconds::zero());
    while (AnyTimerRuns() && NextDue() <= until) {
        g_now = std::max(g_now, NextDue());
        TickDueTimers();
    }
    g_now = until;
}

void RunToNextTimer()
{
    g_now = std::max(g_now, NextDue());
    TickDueTimers();
}

} // namespace forms::headless
