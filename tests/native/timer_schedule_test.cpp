// When the native program's timers tick next: on their schedule, late or
// not; and how long its loop waits for them.
#include "TimerSchedule.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using std::chrono::milliseconds;
using Time = std::chrono::steady_clock::time_point;

struct LateCase {
    int runsAt; // ms after the tick was due
    int nextDue; // ms after the tick was due
    const char* why;
};

class NextTick : public testing::TestWithParam<LateCase> { };

TEST_P(NextTick, KeepsTheScheduleAndDropsMissedTicks)
{
    const Time due {};
    Time next = forms::NextTickDue(due, milliseconds(70), due + milliseconds(GetParam().runsAt));
    EXPECT_EQ(next - due, milliseconds(GetParam().nextDue)) << GetParam().why;
}

INSTANTIATE_TEST_SUITE_P(Ticks, NextTick,
    testing::Values(LateCase { 0, 70, "on time" }, LateCase { 30, 70, "late: the next is not moved back" },
        LateCase { 70, 140, "exactly one interval late: that tick is missed" },
        LateCase { 245, 280, "held up 3.5 intervals: three dropped, the phase kept" }));

struct WaitCase {
    int toNextTimer; // -1: none runs
    int checkEvery; // -1: nothing to check
    int wait;
};

class EventWait : public testing::TestWithParam<WaitCase> { };

// A move watch checks every 25 ms whether a window manager took the move;
// with no timer running it must still come round, or the loop blocks.
TEST_P(EventWait, LastsUntilTheNextTimerOrCheck)
{
    EXPECT_EQ(forms::LongestWait(GetParam().toNextTimer, GetParam().checkEvery), GetParam().wait);
}

INSTANTIATE_TEST_SUITE_P(Loop, EventWait,
    testing::Values(WaitCase { -1, -1, -1 }, WaitCase { 30, -1, 30 }, WaitCase { -1, 25, 25 },
        WaitCase { 30, 25, 25 }, WaitCase { 10, 25, 10 }));

} // namespace
