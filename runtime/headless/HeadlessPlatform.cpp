// The process-wide services of the headless back-end, and the factories of
// its windows and images. The program's files, name and command line are
// the process's own (runtime/winapi), as on X11; so are the settings files,
// and one beside the program lies in the user's configuration folder.
#include "Platform.h"

#include "Ansi.h"
#include "HeadlessControl.h"
#include "HeadlessEventLoop.h"
#include "HeadlessImage.h"
#include "HeadlessState.h"
#include "HeadlessWindow.h"

#include <unistd.h>

#include <cstdio>
#include <string>

namespace forms::headless {

void SetPointer(POINT at) { State().pointer = at; }
POINT Pointer() { return State().pointer; }
void SetLeftButtonDown(bool down) { State().leftButtonDown = down; }
bool LeftButtonDown() { return State().leftButtonDown; }
void SetPointerHeld(bool held) { State().pointerHeld = held; }
bool PointerHeld() { return State().pointerHeld; }
ScreenSettings& Screen() { return State().screen; }
void SetHandOverWatch(HandOverWatch watch) { State().watch = std::move(watch); }

// The back-end's side of a hand-over: the platform's move would follow the
// pointer while the left button stays down, but nothing can move the
// pointer or lift the button while the call runs, so it ends at once.
void HandOver(HWND window, WPARAM hitTest, LPARAM position)
{
    if (State().watch)
        State().watch(window, hitTest, position);
}

const FailureBox& LastFailureBox() { return State().lastFailureBox; }

} // namespace forms::headless

namespace forms::platform {

bool Connect() { return true; }

PixelSize ScreenSize() { return PixelSize { headless::Screen().width, headless::Screen().height }; }
double DotsPerInchX() { return headless::Screen().dotsPerInch; }
double DotsPerInchY() { return headless::Screen().dotsPerInch; }

// Time passes from one timer to the next until the loop is told to stop.
// With no timer left nothing could ever happen, and the loop ends.
int RunEventLoop()
{
    headless::State().quit = false;
    while (!headless::State().quit && headless::AnyTimerRuns())
        headless::RunToNextTimer();
    return 0;
}

void QuitEventLoop() { headless::State().quit = true; }

// There is no one to show a box to: the failure goes to standard error, and
// is kept for tests.
void ShowFailureBox(const std::wstring& title, const std::wstring& message)
{
    headless::State().lastFailureBox = headless::FailureBox { title, message };
    std::string text = ToAnsi(title) + ": " + ToAnsi(message) + "\n";
    std::fputs(text.c_str(), stderr);
}

void ExitAtOnce()
{
    std::fflush(nullptr);
    ::_exit(0);
}

std::unique_ptr<PlatformWindow> CreateFormWindow(const WindowSettings& settings, WindowEvents& events)
{
    return std::make_unique<headless::HeadlessWindow>(settings, events);
}

std::unique_ptr<OffscreenImage> CreateOffscreenImage(int width, int height, COLORREF background, HBITMAP picture)
{
    return std::make_unique<headless::HeadlessImage>(width, height, background, picture);
}

} // namespace forms::platform
