// The previous-instance indication that makes a second start end at once:
// this program starts a copy of itself while it holds the instance marker,
// and the copy must see it.
#include "Application.h"
#include "TestWindows.h"

#include <gtest/gtest.h>

namespace {

TEST(SingleInstance, FirstInstanceSeesNoOther) { EXPECT_FALSE(forms::App::PrevInstance()); }

TEST(SingleInstance, ASecondStartSeesTheFirst)
{
    ASSERT_FALSE(forms::App::PrevInstance()); // claims the marker for this process
    int exitCode = peerkin::test::RunThisProgram(
        { "--gtest_also_run_disabled_tests", "--gtest_filter=SingleInstance.DISABLED_RunAsSecondStart" });
    EXPECT_EQ(exitCode, 0) << "the second start did not see this one";
}

TEST(SingleInstance, AnswerStaysTheSame)
{
    bool first = forms::App::PrevInstance();
    EXPECT_EQ(forms::App::PrevInstance(), first);
}

// Run only by ASecondStartSeesTheFirst, in a second process.
TEST(SingleInstance, DISABLED_RunAsSecondStart) { EXPECT_TRUE(forms::App::PrevInstance()); }

} // namespace
