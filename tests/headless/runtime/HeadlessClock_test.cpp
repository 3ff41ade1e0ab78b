// The headless clock, which the shared suites rely on to count ticks
// exactly: a timer ticks a whole interval after it starts, then once for
// every interval the clock passes, however far it is moved at once.
#include "Form.h"
#include "HeadlessControl.h"
#include "SquareForm.h"
#include "TestWindows.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ostream>

using namespace forms;

namespace {

constexpr unsigned Interval = 70;

class CountingForm : public Form {
public:
    CountingForm()
        : Form(peerkin::test::SquareForm(10))
    {
    }
    int ticks = 0;

private:
    Timer timer { *this, Interval, [this] { ++ticks; } };
};

struct Advance {
    int milliseconds;
    int ticks;
};

std::ostream& operator<<(std::ostream& out, const Advance& advance)
{
    return out << advance.milliseconds << " ms";
}

class HeadlessClock : public testing::TestWithParam<Advance> { };

TEST_P(HeadlessClock, TicksOncePerIntervalPassed)
{
    peerkin::test::ResetDispatch();
    CountingForm form;
    form.Load();
    headless::AdvanceClock(std::chrono::milliseconds(GetParam().milliseconds));
    EXPECT_EQ(form.ticks, GetParam().ticks);
    form.Unload();
}

INSTANTIATE_TEST_SUITE_P(Steps, HeadlessClock,
    testing::Values(Advance { 0, 0 }, Advance { Interval - 1, 0 }, Advance { Interval, 1 },
        Advance { 5 * Interval + 30, 5 }));

} // namespace
