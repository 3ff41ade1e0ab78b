// The previous-instance indication that makes a second start end at once:
// this program starts a copy of itself while it holds the instance marker,
// and the copy must see it.
#include "Application.h"
#include "Win32Handles.h"
#include "TestWindows.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

std::wstring ModulePath()
{
    wchar_t path[MAX_PATH * 2] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    return path;
}

// Runs this test program again with arguments; its exit code, or -1.
int RunThisProgram(const std::wstring& arguments)
{
    std::wstring commandLine = L"\"" + ModulePath() + L"\" " + arguments;
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process {};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
            &process))
        return -1;
    forms::UniqueKernelHandle processHandle(process.hProcess);
    forms::UniqueKernelHandle threadHandle(process.hThread);
    if (::WaitForSingleObject(process.hProcess, 120000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.hProcess, 99);
        return -1;
    }
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    return static_cast<int>(exitCode);
}

TEST(SingleInstance, FirstInstanceSeesNoOther) { EXPECT_FALSE(forms::App::PrevInstance()); }

TEST(SingleInstance, ASecondStartSeesTheFirst)
{
    ASSERT_FALSE(forms::App::PrevInstance()); // claims the marker for this process
    int exitCode = RunThisProgram(L"--gtest_also_run_disabled_tests "
                                  L"--gtest_filter=SingleInstance.DISABLED_RunAsSecondStart");
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
