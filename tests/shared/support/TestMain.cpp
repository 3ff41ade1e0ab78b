// The main of every test program with real windows: failures that reach the
// event dispatch are recorded instead of shown, and ending the program is
// recorded instead of done, so tests can see both.
#include "Platform.h"
#include "TestWindows.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    peerkin::test::KeepProgramArguments(argc, argv); // before GoogleTest takes its options out
    testing::InitGoogleTest(&argc, argv);
#ifdef _WIN32
    forms::platform::Connect(); // per-monitor aware, as the program runs
#endif
    testing::AddGlobalTestEnvironment(new peerkin::test::RuntimeEnvironment);
    return RUN_ALL_TESTS();
}
