#include "FormMessages.h"

#include "Dispatch.h"
#include "Form.h"
#include "FormWindow.h"
#include "XConnection.h"

#include <cstdlib>

namespace forms {
namespace {

// How far apart the presses of a double-click may be, as on Windows: within
// a box 4 pixels wide and high.
constexpr int DoubleClickReach = 2;

// The last left press that could start a double-click.
struct LastPress {
    ::Window window = 0;
    Time time = 0;
    int rootX = 0;
    int rootY = 0;
};

LastPress g_lastPress;

// True when press is the second press of a double-click; otherwise press
// may start one.
bool IsSecondPress(const XButtonEvent& press)
{
    unsigned long interval = x11::XConnection::Get().DoubleClickTime();
    // Server times are 32-bit milliseconds that wrap round.
    unsigned long elapsed = (press.time - g_lastPress.time) & 0xFFFFFFFFUL;
    bool second = g_lastPress.window == press.window && elapsed <= interval
        && std::abs(press.x_root - g_lastPress.rootX) <= DoubleClickReach
        && std::abs(press.y_root - g_lastPress.rootY) <= DoubleClickReach;
    // A third press starts afresh rather than making a second double-click.
    g_lastPress = second ? LastPress {} : LastPress { press.window, press.time, press.x_root, press.y_root };
    return second;
}

std::int16_t ShiftStateOf(unsigned int state)
{
    std::int16_t shift = 0;
    if (state & ShiftMask)
        shift |= ShiftState::Shift;
    if (state & ControlMask)
        shift |= ShiftState::Ctrl;
    if (state & Mod1Mask)
        shift |= ShiftState::Alt;
    return shift;
}

} // namespace

void FormMessages::Handle(XEvent& event)
{
    HWND__* window = x11::WindowOf(event.xany.window);
    if (!window || !window->form)
        return;
    Form& form = *window->form;
    switch (event.type) {
    case Expose: ExposureOf(form, event.xexpose); break;
    case ButtonPress: PressOf(form, event.xbutton); break;
    case VisibilityNotify:
        // Nothing keeps a window without a window manager above others but itself.
        if (window->topMost && window->overrideRedirect && event.xvisibility.state != VisibilityUnobscured)
            XRaiseWindow(event.xany.display, window->xid);
        break;
    case ConfigureNotify:
    case ReparentNotify: x11::NotePositionEvent(*window, event); break;
    case DestroyNotify:
        // Destroyed from outside: the form goes with its window, as when closed.
        if (event.xdestroywindow.window == window->xid)
            form.Unload();
        break;
    case ClientMessage:
        // Closed from outside (a taskbar or the window manager): the form
        // goes, and nothing is stored.
        if (event.xclient.message_type == x11::XConnection::Get().Intern("WM_PROTOCOLS")
            && static_cast<Atom>(event.xclient.data.l[0]) == x11::XConnection::Get().Intern("WM_DELETE_WINDOW"))
            form.Unload();
        break;
    default: break;
    }
}

void FormMessages::Tick(HWND__& window, std::size_t index)
{
    Form& form = *window.form;
    if (index >= form.m_timers.size())
        return;
    Timer& timer = *form.m_timers[index];
    form.m_firstTickPending = false;
    RaiseEvent([&timer] { timer.m_onTick(); });
    form.ShowDrawing();
}

void FormMessages::PressOf(Form& form, const XButtonEvent& press)
{
    switch (press.button) {
    case Button1:
        if (IsSecondPress(press))
            DoubleClick(form);
        else
            MouseDown(form, MouseButton::Left, press);
        break;
    case Button2: MouseDown(form, MouseButton::Middle, press); break;
    case Button3: MouseDown(form, MouseButton::Right, press); break;
    default: break; // the wheel's steps are not presses
    }
}

void FormMessages::MouseDown(Form& form, std::int16_t button, const XButtonEvent& press)
{
    RaiseEvent([&] {
        float x = form.ToUnits(press.x);
        float y = form.ToUnits(press.y);
        form.Form_MouseDown(button, ShiftStateOf(press.state), x, y);
    });
    form.ShowDrawing();
}

void FormMessages::DoubleClick(Form& form)
{
    RaiseEvent([&form] { form.Form_DblClick(); });
    form.ShowDrawing();
}

void FormMessages::ExposureOf(Form& form, const XExposeEvent& expose)
{
    form.Paint(RECT { expose.x, expose.y, expose.x + expose.width, expose.y + expose.height });
}

} // namespace forms
