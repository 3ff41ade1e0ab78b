// The window functions of the platform layer that ask the X server itself:
// where the pointer is, and letting go of it; which window a handle names.
#include "DesktopPointer.h"
#include "X11Connection.h"
#include "X11Window.h"

#include <optional>

using forms::x11::X11Connection;

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
    *point = POINT { scale.ProgramPlace(place.x, x.PrimaryMonitor().x), scale.ProgramPlace(place.y, x.PrimaryMonitor().y) };
    return TRUE;
}

BOOL ReleaseCapture()
{
    X11Connection& x = X11Connection::Get();
    XUngrabPointer(x.Display(), CurrentTime);
    XFlush(x.Display());
    return TRUE;
}

forms::winapi::LayerWindow* forms::winapi::LayerWindowOf(HWND handle) { return forms::x11::LiveWindow(handle); }
