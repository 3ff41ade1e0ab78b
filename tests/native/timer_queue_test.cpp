// A round of ticks of two timers of one window, both due at 70 ms, in which
// the first timer's tick may stop the window's timers. A tick that stops or
// restarts one other timer: TimerRound (tests/shared/runtime, every back-end).
#include "TimerQueue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>

namespace {

using std::chrono::milliseconds;
using Queue = forms::TimerQueue;

enum class FirstTick { DoesNothing, StopsTheWindowsTimers };

struct RoundCase {
    const char* name;
    FirstTick firstTick;
    int roundAt; // ms after both started
    int secondTicks; // in that round
    std::optional<int> secondNextDue; // ms after the start; none once stopped
};

class QueueRound : public testing::TestWithParam<RoundCase> { };

TEST_P(QueueRound, TicksEachDueTimerThatStillRunsOnce)
{
    const RoundCase& round = GetParam();
    const Queue::Clock::time_point start {};
    Queue queue;
    queue.Start(1, 0, milliseconds(70), start);
    queue.Start(1, 1, milliseconds(70), start);
    const Queue::Clock::time_point now = start + milliseconds(round.roundAt);
    int secondTicks = 0;
    queue.TickDue(now, [&](Queue::Owner, std::size_t index) {
        if (index == 1)
            ++secondTicks;
        else if (round.firstTick == FirstTick::StopsTheWindowsTimers)
            queue.StopAll(1);
    });
    EXPECT_EQ(secondTicks, round.secondTicks);
    queue.Start(1, 0, milliseconds(0), now); // leaves the second alone to be asked about
    std::optional<int> nextDue;
    if (auto due = queue.NextDue())
        nextDue = static_cast<int>((*due - start) / milliseconds(1));
    EXPECT_EQ(nextDue, round.secondNextDue);
}

INSTANTIATE_TEST_SUITE_P(Ticks, QueueRound,
    testing::Values(RoundCase { "NotYetDue", FirstTick::DoesNothing, 69, 0, 70 },
        RoundCase { "Due", FirstTick::DoesNothing, 70, 1, 140 },
        RoundCase { "LateOnceOnTheSchedule", FirstTick::DoesNothing, 245, 1, 280 },
        RoundCase { "WindowsTimersStopped", FirstTick::StopsTheWindowsTimers, 70, 0, std::nullopt }),
    [](const testing::TestParamInfo<RoundCase>& round) { return std::string(round.param.name); });

} // namespace
