// The window functions of the platform layer, over the forms' X windows.
#include "DesktopPointer.h"
#include "GdiObjects.h"
#include "X11Connection.h"
#include "X11Window.h"

#include <optional>

using forms::x11::LiveWindow;
using forms::x11::X11Connection;
using forms::x11::X11Window;

BOOL GetWindowRect(HWND handle, RECT* rect)
{
    X11Window* window = LiveWindow(handle);
    if (!window || !rect)
        return FALSE;
    *rect = window->Bounds();
    return TRUE;
}

BOOL GetCursorPos(POINT* point)
{
    if (!point)
        return FALSE;
    X11Connection& x = X11Connection::Get();
    std::optional<forms::x11::PointerState> pointer = x.QueryPointer();
    if (!pointer)
        return FALSE; // the pointer is on another screen
    // On a Wayland desktop its own helper may know better where it is.
    forms::ScreenPoint place = forms::x11::PointerPlace(forms::ScreenPoint { pointer->rootX, pointer->rootY });
    // Screen positions count from the primary monitor's top-left corner, in
    // the program's pixels.
    const forms::DeviceScale& scale = x.Scale();
    *point = POINT { scale.ToProgram(place.x - x.PrimaryMonitor().x), scale.ToProgram(place.y - x.PrimaryMonitor().y) };
    return TRUE;
}

BOOL SetWindowPos(HWND handle, HWND insertAfter, int x, int y, int, int, UINT flags)
{
    X11Window* window = LiveWindow(handle);
    if (!window)
        return FALSE;
    if (!(flags & SWP_NOMOVE))
        window->MoveTo(x, y);
    if (!(flags & SWP_NOZORDER) && insertAfter == HWND_TOPMOST)
        window->KeepAbove();
    XFlush(X11Connection::Get().Display());
    return TRUE;
}

BOOL ReleaseCapture()
{
    X11Connection& x = X11Connection::Get();
    XUngrabPointer(x.Display(), CurrentTime);
    XFlush(x.Display());
    return TRUE;
}

LRESULT SendMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM)
{
    X11Window* window = LiveWindow(handle);
    if (window && message == WM_NCLBUTTONDOWN && wParam == HTCAPTION)
        forms::x11::MoveWithPointer(*window);
    return 0;
}

int SetWindowRgn(HWND handle, HRGN region, BOOL)
{
    // The window owns the region from here on, even when it cannot use it.
    HRGN__* taken = forms::posix::TakeRegion(region);
    X11Window* window = LiveWindow(handle);
    if (!window) {
        delete taken;
        return 0;
    }
    window->SetShape(taken);
    return 1;
}
