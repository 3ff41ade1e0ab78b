// A double-click while another program holds the settings file open without
// sharing it, which only Windows lets a program do.
#include "FigureWindowTest.h"
#include "Win32Handles.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

using peerkin::test::Dispatched;
using peerkin::test::DoubleClick;
using peerkin::test::ReadFileBytes;

TEST_F(DoubleClick, FileHeldOpenByAnotherProgramIsLeftAloneAndTheProgramStillEnds)
{
    const std::string stored = "[Orlo's Peerkin]\r\nTop=1\r\nLeft=2\r\n";
    peerkin::test::WriteFileBytes(m_iniFile, stored);
    UseSettingsFile(m_iniFile);
    HWND window = LoadedFigure()->Handle();
    MoveWindowTo(window, 20, 30);
    {
        // Opened without sharing: nobody else may read or write it meanwhile.
        forms::UniqueKernelHandle holder(
            ::CreateFileW(m_iniFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_NE(holder.Get(), INVALID_HANDLE_VALUE);

        DoubleClickOn(window);
    }

    EXPECT_EQ(ReadFileBytes(m_iniFile), stored);
    EXPECT_TRUE(Dispatched().failures.empty());
    EXPECT_EQ(Dispatched().endRequests, 1);
}

} // namespace
