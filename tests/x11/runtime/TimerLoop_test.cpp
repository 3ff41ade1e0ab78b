// The event loop's timers, as the figure's 70 ms tick relies on them: the
// first tick comes a whole interval after the start, a slow tick moves no
// later one off its schedule, and a tick that stops or restarts a timer is
// obeyed within the same round.
#include <gtest/gtest.h>

#include "Application.h"
#include "Form.h"
#include "X11EventLoop.h"
#include "X11Window.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr unsigned Interval = 70;

// A small form with two timers of the same interval, started together at
// load, whose ticks are recorded and may run an action of the test's.
class TimedForm : public forms::Form {
public:
    TimedForm()
        : forms::Form(Definition())
    {
    }

    std::vector<Clock::time_point> firstTicks;
    std::vector<Clock::time_point> secondTicks;
    std::function<void()> onFirstTick = [] {};

    ::Window Xid() { return forms::x11::LiveWindow(Handle())->Xid(); }
    void RunUntilTicks(std::size_t count, int limitMilliseconds)
    {
        Clock::time_point limit = Clock::now() + std::chrono::milliseconds(limitMilliseconds);
        forms::x11::PumpUntil([&] { return firstTicks.size() >= count || Clock::now() > limit; });
    }

private:
    static forms::FormDefinition Definition()
    {
        forms::FormDefinition definition;
        definition.width = 20 * forms::Screen::TwipsPerPixelX();
        definition.height = 20 * forms::Screen::TwipsPerPixelY();
        return definition;
    }

    forms::Timer m_first { *this, Interval, [this] {
                              firstTicks.push_back(Clock::now());
                              onFirstTick();
                          } };
    forms::Timer m_second { *this, Interval, [this] { secondTicks.push_back(Clock::now()); } };
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

struct RoundCase {
    const char* name;
    unsigned restartInterval; // 0 stops the second timer
};

class TimerRound : public testing::TestWithParam<RoundCase> { };

// The first timer's first tick stops or restarts the second, which was due
// in the same round: stopped, it never ticks; restarted, it waits a whole
// interval from the restart.
TEST_P(TimerRound, ATickThatStopsOrRestartsAnotherTimerIsObeyed)
{
    TimedForm form;
    Clock::time_point restarted {};
    form.onFirstTick = [&] {
        if (restarted == Clock::time_point {}) {
            restarted = Clock::now();
            forms::x11::StartTimer(form.Xid(), 1, GetParam().restartInterval);
        }
    };
    form.Load();
    form.RunUntilTicks(4, 2000);
    ASSERT_EQ(form.firstTicks.size(), 4u);
    if (GetParam().restartInterval == 0) {
        EXPECT_TRUE(form.secondTicks.empty()) << form.secondTicks.size() << " ticks after it was stopped";
        return;
    }
    ASSERT_FALSE(form.secondTicks.empty());
    EXPECT_GE(Since(restarted, form.secondTicks.front()), GetParam().restartInterval - 1.0);
}

INSTANTIATE_TEST_SUITE_P(Ticks, TimerRound,
    testing::Values(RoundCase { "Stopped", 0 }, RoundCase { "Restarted", Interval }),
    [](const testing::TestParamInfo<RoundCase>& round) { return std::string(round.param.name); });

} // namespace
