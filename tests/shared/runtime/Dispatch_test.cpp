// Event dispatch, timers and the process-wide services.
#include "Application.h"
#include "Dispatch.h"
#include "Form.h"
#include "TestWindows.h"

#include <gtest/gtest.h>

using namespace forms;
using peerkin::test::Dispatched;

namespace {

class TickingForm : public Form {
public:
    TickingForm()
        : Form(Definition())
        , timer(*this, 20, [this] { Tick(); })
    {
    }
    int ticks = 0;
    bool failOnTick = false;

private:
    static FormDefinition Definition()
    {
        FormDefinition definition;
        definition.width = 150;
        definition.height = 150;
        return definition;
    }
    void Tick()
    {
        ++ticks;
        if (failOnTick)
            Fail(FailureCode::Overflow);
    }
    Timer timer;
};

class DispatchTest : public testing::Test {
protected:
    void SetUp() override { peerkin::test::ResetDispatch(); }
    void TearDown() override { peerkin::test::ResetDispatch(); }
};

TEST_F(DispatchTest, TimerTicksOnlyOnceTheFormIsLoaded)
{
    TickingForm form;
    peerkin::test::PumpFor(100);
    EXPECT_EQ(form.ticks, 0);
    form.Load();
    peerkin::test::PumpFor(300);
    EXPECT_GE(form.ticks, 3);
    form.Unload();
    int ticksAtUnload = form.ticks;
    peerkin::test::PumpFor(100);
    EXPECT_EQ(form.ticks, ticksAtUnload);
}

TEST_F(DispatchTest, FailureLeavingAHandlerReachesThePolicyOnceAndStopsHandlers)
{
    TickingForm form;
    form.failOnTick = true;
    form.Load();
    peerkin::test::PumpFor(300);
    ASSERT_EQ(Dispatched().failures.size(), 1u);
    EXPECT_EQ(Dispatched().failures[0].Number(), 6);
    EXPECT_EQ(form.ticks, 1); // no tick ran after the failure
    form.Unload();
}

TEST_F(DispatchTest, RaiseEventTurnsEveryExceptionIntoAFailure)
{
    struct Case {
        void (*handler)();
        int number;
    };
    Case cases[] = {
        { [] { Fail(FailureCode::DivisionByZero); }, 11 },
        { [] { throw std::bad_alloc(); }, 7 },
        { [] { throw std::runtime_error("odd"); }, 5 },
    };
    for (const Case& c : cases) {
        peerkin::test::ResetDispatch();
        RaiseEvent(c.handler);
        ASSERT_EQ(Dispatched().failures.size(), 1u);
        EXPECT_EQ(Dispatched().failures[0].Number(), c.number);
    }
}

TEST_F(DispatchTest, ContinueOnFailureSkipsOnlyTheFailingStep)
{
    int steps = 0;
    ContinueOnFailure([&] {
        ++steps;
        Fail(FailureCode::Overflow);
        ++steps; // never reached
    });
    ContinueOnFailure([&] { ++steps; });
    EXPECT_EQ(steps, 2);
    EXPECT_TRUE(Dispatched().failures.empty());
}

TEST_F(DispatchTest, NothingRunsOrIsReportedOnceEnding)
{
    forms::End();
    bool ran = false;

    forms::RaiseEvent([&ran] { ran = true; });
    forms::RaiseEvent([] { forms::Fail(forms::FailureCode::DivisionByZero); });

    EXPECT_TRUE(forms::IsEnding());
    EXPECT_EQ(Dispatched().endRequests, 1);
    EXPECT_FALSE(ran);
    EXPECT_TRUE(Dispatched().failures.empty());
}

TEST(ApplicationTest, ArgumentTextIsWhatFollowsTheProgramName)
{
    struct Case {
        const wchar_t* commandLine;
        const wchar_t* arguments;
    };
    Case cases[] = {
        { L"Peerkin.exe", L"" },
        { L"Peerkin.exe a b", L"a b" },
        { L"Peerkin.exe    spaced  out ", L"spaced  out " },
        { L"\"C:\\My Toys\\Peerkin.exe\" /x", L"/x" },
        { L"\"C:\\My Toys\\Peerkin.exe\"", L"" },
        { L"C:\\Toys\\Peerkin.exe\t\"quoted arg\"", L"\"quoted arg\"" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ArgumentText(c.commandLine), c.arguments) << c.commandLine;
}

} // namespace
