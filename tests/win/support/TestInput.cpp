// Mouse input as window messages, and a watch that replaces the window's
// procedure for as long as it lives.
#include "TestInput.h"

namespace peerkin::test {
namespace {

DragWatch* g_watch = nullptr;
WNDPROC g_watchedProcedure = nullptr;

LRESULT CALLBACK WatchingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCLBUTTONDOWN && g_watch) {
        g_watch->Record(HandOver { wParam, lParam, ::GetCapture() != nullptr });
        return 0;
    }
    return ::CallWindowProcW(g_watchedProcedure, window, message, wParam, lParam);
}

WPARAM KeysOf(Button button, unsigned held)
{
    WPARAM keys = button == Button::Left ? MK_LBUTTON : button == Button::Right ? MK_RBUTTON : MK_MBUTTON;
    if (held & ShiftKey)
        keys |= MK_SHIFT;
    if (held & ControlKey)
        keys |= MK_CONTROL;
    if (held & LeftButtonHeld)
        keys |= MK_LBUTTON;
    if (held & RightButtonHeld)
        keys |= MK_RBUTTON;
    return keys;
}

} // namespace

void DeliverPress(HWND window, Button button, POINT at, unsigned held)
{
    UINT message = button == Button::Left ? WM_LBUTTONDOWN : button == Button::Right ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
    ::SendMessageW(window, message, KeysOf(button, held), MAKELPARAM(at.x, at.y));
}

void DeliverDoubleClick(HWND window, Button button, POINT at)
{
    UINT message
        = button == Button::Left ? WM_LBUTTONDBLCLK : button == Button::Right ? WM_RBUTTONDBLCLK : WM_MBUTTONDBLCLK;
    ::SendMessageW(window, message, KeysOf(button, Nothing), MAKELPARAM(at.x, at.y));
}

void CapturePointer(HWND window) { ::SetCapture(window); }

bool HoldsPointer(HWND window) { return ::GetCapture() == window; }

DragWatch::DragWatch(HWND window)
    : m_window(window)
{
    g_watch = this;
    g_watchedProcedure = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchingProcedure)));
}

DragWatch::~DragWatch()
{
    ::SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_watchedProcedure));
    g_watch = nullptr;
}

} // namespace peerkin::test
