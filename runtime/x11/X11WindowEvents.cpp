// An X11 form window's events: X events about the window become the form's
// events (presses and double-clicks, closing), repaints, keeping above and
// the place reported.
#include "X11Window.h"

#include "FormDefinition.h"
#include "X11Connection.h"

#include <cstdint>
#include <cstdlib>

namespace forms::x11 {
namespace {

// How far apart the presses of a double-click may be, as on Windows: within
// a box 4 pixels wide and high.
constexpr int DoubleClickReach = 2;

std::int16_t ShiftStateOf(unsigned int state)
{
    return ShiftState::Of((state & ShiftMask) != 0, (state & ControlMask) != 0, (state & Mod1Mask) != 0);
}

} // namespace

void X11Window::HandleEvent(XEvent& event)
{
    X11Connection& x = X11Connection::Get();
    switch (event.type) {
    case Expose: {
        const XExposeEvent& expose = event.xexpose;
        PixelEdges area = m_scale.ProgramAreaOf(
            PixelEdges { expose.x, expose.y, expose.x + expose.width, expose.y + expose.height });
        Present(m_events.ShownImage(), RECT { area.left, area.top, area.right, area.bottom });
        break;
    }
    case ButtonPress: Press(event.xbutton); break;
    case VisibilityNotify:
        // Nothing keeps a window without a window manager above others but itself.
        if (m_topMost && m_overrideRedirect && event.xvisibility.state != VisibilityUnobscured)
            XRaiseWindow(x.Display(), m_xid);
        break;
    case ConfigureNotify:
    case ReparentNotify:
        NotePositionEvent(event);
        KeepPlaceAsked();
        break;
    case MapNotify:
        NoteMapped();
        break;
    case DestroyNotify:
        // Destroyed from outside: the form goes with its window, as when closed.
        if (event.xdestroywindow.window == m_xid)
            m_events.OnClosed();
        break;
    case ClientMessage:
        // Closed from outside (a taskbar or the window manager): the form
        // goes, and nothing is stored.
        if (event.xclient.message_type == x.Intern("WM_PROTOCOLS")
            && static_cast<Atom>(event.xclient.data.l[0]) == x.Intern("WM_DELETE_WINDOW"))
            m_events.OnClosed();
        break;
    default: break;
    }
}

void X11Window::Press(const XButtonEvent& press)
{
    m_placeAsked.reset(); // from now on the user moves the window
    std::int16_t shift = ShiftStateOf(press.state);
    // The program's pixel under the pointer.
    int x = m_scale.ProgramPixelOf(press.x);
    int y = m_scale.ProgramPixelOf(press.y);
    switch (press.button) {
    case Button1:
        m_leftPressAt = POINT { press.x_root, press.y_root };
        if (IsSecondPress(press))
            m_events.OnDoubleClick();
        else
            m_events.OnMouseDown(MouseButton::Left, shift, x, y);
        break;
    case Button2: m_events.OnMouseDown(MouseButton::Middle, shift, x, y); break;
    case Button3: m_events.OnMouseDown(MouseButton::Right, shift, x, y); break;
    default: break; // the wheel's steps are not presses
    }
}

// True when press is the second press of a double-click; otherwise press
// may start one.
bool X11Window::IsSecondPress(const XButtonEvent& press)
{
    unsigned long interval = X11Connection::Get().DoubleClickTime();
    // Server times are 32-bit milliseconds that wrap round.
    unsigned long elapsed = (press.time - m_lastPress.time) & 0xFFFFFFFFUL;
    bool second = m_lastPress.valid && elapsed <= interval
        && std::abs(press.x_root - m_lastPress.rootX) <= DoubleClickReach
        && std::abs(press.y_root - m_lastPress.rootY) <= DoubleClickReach;
    // A third press starts afresh rather than making a second double-click.
    m_lastPress = second ? LastPress {} : LastPress { press.time, press.x_root, press.y_root, true };
    return second;
}

} // namespace forms::x11
