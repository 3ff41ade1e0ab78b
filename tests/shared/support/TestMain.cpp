// The main of every test program with real windows: failures that reach the
// event dispatch are recorded instead of shown, and ending the program is
// recorded instead of done, so tests can see both.
#include "TestWindows.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    peerkin::test::KeepProgramArguments(argc, argv); // before GoogleTest takes its options out
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new peerkin::test::RuntimeEnvironment);
    return RUN_ALL_TESTS();
}
