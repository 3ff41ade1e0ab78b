// The report a user sees when a handler fails, as the program really makes
// it (every other test records failures instead): a copy of this program
// raises a failure with the program's own policy, and must say why on
// standard error, show a window that says it, and end once the user has
// closed that window, whichever way.
#include <gtest/gtest.h>

#include "Dispatch.h"
#include "Platform.h"
#include "TestWindows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

extern char** environ;

namespace {

using DisplayPointer = std::unique_ptr<Display, int (*)(Display*)>;

// A top-level window under parent named name, or 0.
::Window FindNamed(Display* display, ::Window parent, const std::string& name)
{
    ::Window root = 0;
    ::Window unused = 0;
    ::Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &unused, &children, &count))
        return 0;
    ::Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        char* title = nullptr;
        if (XFetchName(display, children[i], &title) && title) {
            found = name == title ? children[i] : 0;
            XFree(title);
        }
        if (!found)
            found = FindNamed(display, children[i], name);
    }
    XFree(children);
    return found;
}

// Polls for the report's window for up to ten seconds.
::Window WaitForWindow(Display* display, const std::string& name)
{
    for (int tries = 0; tries < 200; ++tries) {
        if (::Window window = FindNamed(display, DefaultRootWindow(display), name))
            return window;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return 0;
}

// Exit code of child once it ends within ten seconds; -1 when it does not
// (it is then killed).
int WaitForExit(pid_t child)
{
    for (int tries = 0; tries < 200; ++tries) {
        int status = 0;
        if (::waitpid(child, &status, WNOHANG) == child)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    return -1;
}

// Starts this program's failing copy with its standard error in errors.
pid_t StartFailingCopy(const std::string& errors)
{
    std::string program = forms::ToAnsi(peerkin::test::ProgramPath());
    std::string all = "--gtest_also_run_disabled_tests";
    std::string filter = "--gtest_filter=FailureReport.DISABLED_FailsWithTheProgramsOwnPolicy";
    char* argv[] = { program.data(), all.data(), filter.data(), nullptr };
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t child = 0;
    int started = ::posix_spawn(&child, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    return started == 0 ? child : -1;
}

void PressOn(Display* display, ::Window box)
{
    XEvent press {};
    press.xbutton.type = ButtonPress;
    press.xbutton.window = box;
    press.xbutton.button = Button1;
    XSendEvent(display, box, False, ButtonPressMask, &press);
}

// What a window manager sends when the user closes a window from its frame.
void CloseFromTheFrame(Display* display, ::Window box)
{
    XEvent close {};
    close.xclient.type = ClientMessage;
    close.xclient.window = box;
    close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, box, False, NoEventMask, &close);
}

std::string FileText(const std::string& path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Closing {
    const char* name;
    void (*close)(Display*, ::Window);
};

class FailureReport : public testing::TestWithParam<Closing> { };

TEST_P(FailureReport, SaysWhyShowsItAndEndsOnceTheUserClosesIt)
{
    DisplayPointer display(XOpenDisplay(nullptr), XCloseDisplay);
    ASSERT_NE(display, nullptr);
    peerkin::test::TempFolder folder;
    std::string errors = forms::ToAnsi(folder.Path()) + "errors.txt";
    pid_t child = StartFailingCopy(errors);
    ASSERT_GT(child, 0);
    ::Window box = WaitForWindow(display.get(), forms::ToAnsi(peerkin::test::ProgramName()));
    if (!box)
        WaitForExit(child);
    ASSERT_NE(box, 0u) << "no window named after the program";
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(::waitpid(child, nullptr, WNOHANG), 0) << "ended before the user closed its report";
    GetParam().close(display.get(), box);
    XFlush(display.get());
    EXPECT_EQ(WaitForExit(child), 0) << "the program did not end when its report was closed";
    EXPECT_NE(FileText(errors).find("Run-time error '6':\n\nOverflow"), std::string::npos) << FileText(errors);
}

INSTANTIATE_TEST_SUITE_P(Closed, FailureReport,
    testing::Values(Closing { "ByAClick", PressOn }, Closing { "FromTheFrame", CloseFromTheFrame }),
    [](const testing::TestParamInfo<Closing>& closing) { return std::string(closing.param.name); });

// Run only by the tests above, in a copy of this program.
TEST(FailureReport, DISABLED_FailsWithTheProgramsOwnPolicy)
{
    forms::SetFailurePolicy(forms::ReportFailureAndEnd);
    forms::SetEndAction(forms::platform::ExitAtOnce);
    forms::ClearEnding();
    forms::RaiseEvent([] { forms::Fail(forms::FailureCode::Overflow); });
    ADD_FAILURE() << "the program went on after reporting its failure";
}

} // namespace
