// The event loop's timers in real time, as the figure's 70 ms tick relies on
// them: the first tick comes a whole interval after the start, and a slow
// tick moves no later one off its schedule. A tick that stops or restarts a
// timer: TimerRound (tests/shared/runtime).
#include <gtest/gtest.h>

#include "Application.h"
#include "Form.h"
#include "SquareForm.h"
#include "X11EventLoop.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr unsigned Interval = 70;

// A small form whose timer's ticks are recorded and may run an action of the
// test's.
class TimedForm : public forms::Form {
public:
    TimedForm()
        : forms::Form(peerkin::test::SquareForm(20))
    {
    }

    std::vector<Clock::time_point> firstTicks;
    std::function<void()> onFirstTick = [] {};

    void RunUntilTicks(std::size_t count, int limitMilliseconds)
    {
        Clock::time_point limit = Clock::now() + std::chrono::milliseconds(limitMilliseconds);
        forms::x11::PumpUntil([&] { return firstTicks.size() >= count || Clock::now() > limit; });
    }

private:
    forms::Timer m_first { *this, Interval, [this] {
                              firstTicks.push_back(Clock::now());
                              onFirstTick();
                          } };
};

double Since(Clock::time_point from, Clock::time_point to) { return Milliseconds(to - from).count(); }

TEST(TimerLoop, TheFirstTickComesAWholeIntervalAfterTheStart)
{
    TimedForm form;
    Clock::time_point started = Clock::now();
    form.Load();
    form.RunUntilTicks(1, 2000);
    ASSERT_FALSE(form.firstTicks.empty());
    EXPECT_GE(Since(started, form.firstTicks.front()), Interval - 1.0);
}

// How far t lies from the nearest tick of a schedule that began at origin.
double OffTheSchedule(Clock::time_point origin, Clock::time_point t)
{
    double phase = std::fmod(Since(origin, t), Interval);
    return std::min(phase, Interval - phase);
}

TEST(TimerLoop, ASlowTickMovesNoLaterTickOffItsSchedule)
{
    TimedForm form;
    bool slowed = false;
    // Half an interval late after the slow tick, where the schedule would
    // drift if the next tick were counted from when a tick ran.
    form.onFirstTick = [&] {
        if (!std::exchange(slowed, true))
            std::this_thread::sleep_for(std::chrono::milliseconds(Interval + Interval / 2));
    };
    form.Load();
    form.RunUntilTicks(14, 5000);
    ASSERT_EQ(form.firstTicks.size(), 14u);
    std::vector<double> offsets;
    for (std::size_t tick = 3; tick < form.firstTicks.size(); ++tick)
        offsets.push_back(OffTheSchedule(form.firstTicks.front(), form.firstTicks[tick]));
    std::sort(offsets.begin(), offsets.end());
    EXPECT_LT(offsets[offsets.size() / 2], Interval / 5.0) << "the median tick, in ms from the schedule";
}

} // namespace
