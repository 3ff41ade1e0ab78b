// The process-wide services of the X11 back-end, and the factories of its
// windows and images.
#include "Platform.h"

#include "Ansi.h"
#include "Application.h"
#include "DesktopPointer.h"
#include "Failure.h"
#include "X11Connection.h"
#include "X11EventLoop.h"
#include "X11FailureWindow.h"
#include "X11Image.h"
#include "X11State.h"
#include "X11Window.h"

#include <unistd.h>

#include <cstdio>
#include <string>

namespace forms::platform {
// Without a display there is nothing the program could show: say so,
// rather than end silently as every step of its start-up fails.
bool Connect()
{
    try {
        x11::X11Connection::Get();
        return true;
    } catch (const RuntimeFailure& failure) {
        std::string message = ToAnsi(App::EXEName()) + ": " + failure.Description() + "\n";
        std::fputs(message.c_str(), stderr);
        return false;
    }
}

// The program counts in its own pixels, 96 to the inch at every screen
// scale (15 twips each); the window shows them at the screen's scale.
PixelSize ScreenSize()
{
    x11::X11Connection& x = x11::X11Connection::Get();
    return PixelSize { x.Scale().ToProgram(x.ScreenWidth()), x.Scale().ToProgram(x.ScreenHeight()) };
}

double DotsPerInchX() { return DeviceScale::ProgramDotsPerInch; }
double DotsPerInchY() { return DeviceScale::ProgramDotsPerInch; }

int RunEventLoop()
{
    x11::State().quit = false;
    x11::StartDesktopPointer();
    x11::PumpUntil([] { return x11::State().quit; });
    x11::StopDesktopPointer();
    return 0;
}

void QuitEventLoop() { x11::State().quit = true; }

void ShowFailureBox(const std::wstring& title, const std::wstring& message)
{
    std::string text = ToAnsi(title) + ": " + ToAnsi(message) + "\n";
    std::fputs(text.c_str(), stderr);
    x11::ShowFailureWindow(ToAnsi(title), ToAnsi(message));
}

void ExitAtOnce()
{
    // The X server closes the windows with the connection; a KWin script
    // would outlive the program.
    x11::StopDesktopPointer();
    std::fflush(nullptr);
    ::_exit(0);
}

std::unique_ptr<PlatformWindow> CreateFormWindow(const WindowSettings& settings, WindowEvents& events)
{
    return std::make_unique<x11::X11Window>(settings, events);
}

std::unique_ptr<OffscreenImage> CreateOffscreenImage(int width, int height, COLORREF background, HBITMAP picture)
{
    return std::make_unique<x11::X11Image>(width, height, background, picture, x11::X11Connection::Get().Scale());
}

} // namespace forms::platform
