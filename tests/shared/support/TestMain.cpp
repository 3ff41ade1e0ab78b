// The main of every test program with real windows: failures that reach the
// event dispatch are recorded instead of shown, and ending the program is
// recorded instead of done, so tests can see both.
#include "Platform.h"
#include "TestWindows.h"

#include <gtest/gtest.h>

namespace {

// Each test starts from the back-end's state as a fresh process has it, so
// that no test depends on which ran before it.
class FreshBackEnd : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { peerkin::test::ResetBackEnd(); }
};

} // namespace

int main(int argc, char** argv)
{
    peerkin::test::KeepProgramArguments(argc, argv); // before GoogleTest takes its options out
    testing::InitGoogleTest(&argc, argv);
#ifdef _WIN32
    forms::platform::Connect(); // per-monitor aware, as the program runs
#endif
    testing::AddGlobalTestEnvironment(new peerkin::test::RuntimeEnvironment);
    testing::UnitTest::GetInstance()->listeners().Append(new FreshBackEnd);
    return RUN_ALL_TESTS();
}
