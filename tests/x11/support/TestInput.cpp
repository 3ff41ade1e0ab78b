// Mouse input as X button events handed to the event dispatch, and a watch
// on the program's title-bar presses. The X11 test programs are linked with
// SendMessageA wrapped (tests/x11/CMakeLists.txt): every call reaches the
// wrapper below first, which notes a title-bar press and passes the call on
// to the platform layer unchanged.
#include "TestInput.h"

#include "X11Connection.h"
#include "X11EventLoop.h"
#include "X11Window.h"


namespace peerkin::test {
namespace {

DragWatch* g_watch = nullptr;

// X server times of the presses delivered here: far apart, except for the
// two presses of a double-click.
constexpr Time BetweenPresses = 60000;
constexpr Time WithinDoubleClick = 80;
Time g_pressTime = 0;

unsigned int StateOf(unsigned held)
{
    unsigned int state = 0;
    if (held & ShiftKey)
        state |= ShiftMask;
    if (held & ControlKey)
        state |= ControlMask;
    if (held & LeftButtonHeld)
        state |= Button1Mask;
    if (held & RightButtonHeld)
        state |= Button3Mask;
    return state;
}

void Dispatch(HWND window, Button button, POINT at, unsigned held, Time time)
{
    RECT bounds {};
    ::GetWindowRect(window, &bounds);
    XEvent event {};
    event.xbutton.type = ButtonPress;
    event.xbutton.window = forms::x11::LiveWindow(window)->Xid();
    event.xbutton.button = button == Button::Left ? Button1 : button == Button::Right ? Button3 : Button2;
    event.xbutton.time = time;
    event.xbutton.x = at.x;
    event.xbutton.y = at.y;
    event.xbutton.x_root = bounds.left + at.x;
    event.xbutton.y_root = bounds.top + at.y;
    event.xbutton.state = StateOf(held);
    forms::x11::DispatchEvent(event);
}

// A second connection to the server: asking for the pointer there fails
// while this program's own connection holds it.
Display* Bystander()
{
    static Display* display = XOpenDisplay(nullptr);
    return display;
}

} // namespace

void DeliverPress(HWND window, Button button, POINT at, unsigned held)
{
    g_pressTime += BetweenPresses;
    Dispatch(window, button, at, held, g_pressTime);
}

void DeliverDoubleClick(HWND window, Button button, POINT at)
{
    DeliverPress(window, button, at);
    g_pressTime += WithinDoubleClick;
    Dispatch(window, button, at, Nothing, g_pressTime);
}

// X lets only a viewable window hold the pointer, and a loaded form is
// hidden; ReleaseCapture ends the program's hold whatever window has it.
void CapturePointer(HWND)
{
    forms::x11::X11Connection& x = forms::x11::X11Connection::Get();
    XGrabPointer(x.Display(), x.Root(), False, ButtonPressMask | ButtonReleaseMask, GrabModeAsync, GrabModeAsync,
        None, None, CurrentTime);
    XSync(x.Display(), False);
}

bool HoldsPointer(HWND)
{
    XSync(forms::x11::X11Connection::Get().Display(), False); // the program's last grab or release has landed
    Display* other = Bystander();
    int result = XGrabPointer(other, DefaultRootWindow(other), False, ButtonPressMask, GrabModeAsync,
        GrabModeAsync, None, None, CurrentTime);
    if (result == GrabSuccess)
        XUngrabPointer(other, CurrentTime);
    XSync(other, False);
    return result == AlreadyGrabbed;
}

DragWatch::DragWatch(HWND window)
    : m_window(window)
{
    g_watch = this;
}

DragWatch::~DragWatch() { g_watch = nullptr; }

} // namespace peerkin::test

extern "C" LRESULT __real_SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

extern "C" LRESULT __wrap_SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    using peerkin::test::g_watch;
    if (g_watch && window == g_watch->Window() && message == WM_NCLBUTTONDOWN)
        g_watch->Record(peerkin::test::HandOver { wParam, lParam, peerkin::test::HoldsPointer(window) });
    return __real_SendMessageA(window, message, wParam, lParam);
}
