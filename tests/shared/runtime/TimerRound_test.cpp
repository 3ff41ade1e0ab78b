// A tick that stops or restarts another timer due in the same round is
// obeyed at once, on every platform: stopped, that timer never ticks;
// restarted, it waits a whole interval from the restart.
#include "Application.h"
#include "Form.h"
#include "SquareForm.h"
#include "TestWindows.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr unsigned Interval = 70;

// Two timers of the same interval, started together at load; the first's
// first tick stops or restarts the second.
class TwoTimerForm : public forms::Form {
public:
    explicit TwoTimerForm(unsigned restartInterval)
        : forms::Form(peerkin::test::SquareForm(20))
        , m_restartInterval(restartInterval)
    {
    }

    int firstTicks = 0;
    int firstTicksAtTheSecondsFirst = -1;

private:
    unsigned m_restartInterval;
    forms::Timer m_first { *this, Interval, [this] {
                              if (++firstTicks == 1)
                                  peerkin::test::RestartTimer(Handle(), 1, m_restartInterval);
                          } };
    forms::Timer m_second { *this, Interval, [this] {
                               if (firstTicksAtTheSecondsFirst < 0)
                                   firstTicksAtTheSecondsFirst = firstTicks;
                           } };
};

struct RoundCase {
    const char* name;
    unsigned restartInterval; // 0 stops the second timer
};

class TimerRound : public testing::TestWithParam<RoundCase> { };

TEST_P(TimerRound, ATickThatStopsOrRestartsAnotherTimerIsObeyed)
{
    peerkin::test::ResetDispatch();
    TwoTimerForm form(GetParam().restartInterval);
    form.Load();
    peerkin::test::PumpFor(4 * Interval + Interval / 2);
    form.Unload();
    ASSERT_GE(form.firstTicks, 3);
    if (GetParam().restartInterval == 0) {
        EXPECT_EQ(form.firstTicksAtTheSecondsFirst, -1) << "the stopped timer ticked";
        return;
    }
    // Restarted at the first's first tick, due half an interval after its second.
    EXPECT_EQ(form.firstTicksAtTheSecondsFirst, 2);
}

INSTANTIATE_TEST_SUITE_P(Ticks, TimerRound,
    testing::Values(RoundCase { "Stopped", 0 }, RoundCase { "Restarted", Interval + Interval / 2 }),
    [](const testing::TestParamInfo<RoundCase>& round) { return std::string(round.param.name); });

} // namespace
