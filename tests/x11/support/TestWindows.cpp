// The test helpers over the X11 runtime: its windows, pointer and screen.
// Files, folders and programs are Linux's whatever shows the windows
// (tests/posix/support/TestSystem.cpp).
#include "TestWindows.h"

#include "LayerTestWindows.h"
#include "X11Connection.h"
#include "X11EventLoop.h"
#include "X11State.h"
#include "X11Window.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace peerkin::test {

void PumpMessages() { forms::x11::PumpPending(); }

void PumpFor(int milliseconds)
{
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < until) {
        PumpMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    PumpMessages();
}

std::optional<std::vector<RECT>> WindowRegionRects(HWND handle)
{
    return layer::RegionRects(forms::x11::LiveWindow(handle));
}

POINT ScreenPixels()
{
    forms::x11::X11Connection& x = forms::x11::X11Connection::Get();
    return POINT { x.ScreenWidth(), x.ScreenHeight() };
}

void MoveCursorTo(int x, int y)
{
    forms::x11::X11Connection& connection = forms::x11::X11Connection::Get();
    XWarpPointer(connection.Display(), None, connection.Root(), 0, 0, 0, 0, x, y);
    XSync(connection.Display(), False);
}

void DeliverTimerTick(HWND handle) { layer::TickFirstTimer(forms::x11::LiveWindow(handle)); }

void RestartTimer(HWND handle, std::size_t index, unsigned interval)
{
    forms::x11::StartTimer(forms::x11::LiveWindow(handle)->Xid(), index, interval);
}

void ResetBackEnd()
{
    if (!forms::x11::ResetState())
        ADD_FAILURE() << "a window of an earlier test still lives";
}

bool IsShown(HWND handle)
{
    forms::x11::X11Window* window = forms::x11::LiveWindow(handle);
    return window && window->IsMapped();
}

namespace {

std::vector<Atom> WindowState(::Window window)
{
    forms::x11::X11Connection& x = forms::x11::X11Connection::Get();
    std::vector<unsigned long> items = x.Property32(window, x.Intern("_NET_WM_STATE"), XA_ATOM, 64);
    return std::vector<Atom>(items.begin(), items.end());
}

} // namespace

// The window manager's "above" state, which the window sets itself where no
// window manager runs.
bool IsTopMost(HWND handle)
{
    forms::x11::X11Window* window = forms::x11::LiveWindow(handle);
    if (!window)
        return false;
    XSync(forms::x11::X11Connection::Get().Display(), False);
    std::vector<Atom> state = WindowState(window->Xid());
    return std::find(state.begin(), state.end(), forms::x11::X11Connection::Get().Intern("_NET_WM_STATE_ABOVE"))
        != state.end();
}

void DestroyFromOutside(HWND handle)
{
    forms::x11::X11Connection& x = forms::x11::X11Connection::Get();
    XDestroyWindow(x.Display(), forms::x11::LiveWindow(handle)->Xid());
    XSync(x.Display(), False);
}

double ScreenDotsPerInch() { return forms::x11::X11Connection::Get().DotsPerInch(); }
} // namespace peerkin::test
