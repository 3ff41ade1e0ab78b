// The window functions of the platform layer, over the forms' X windows.
#include "FormWindow.h"
#include "GdiObjects.h"
#include "XConnection.h"

#include <X11/extensions/shape.h>

#include <algorithm>
#include <climits>
#include <vector>

using forms::x11::LiveWindow;
using forms::x11::XConnection;

namespace {

void ReleaseRegion(HRGN__* region) { delete region; }

// X rectangles have 16-bit corners; a shape only matters within the window.
std::vector<XRectangle> ClippedRectangles(const HRGN__& region, const HWND__& window)
{
    std::vector<XRectangle> clipped;
    clipped.reserve(region.rects.size());
    for (const RECT& rect : region.rects) {
        LONG left = std::max<LONG>(rect.left, 0);
        LONG top = std::max<LONG>(rect.top, 0);
        LONG right = std::min<LONG>(rect.right, window.width);
        LONG bottom = std::min<LONG>(rect.bottom, window.height);
        if (left < right && top < bottom)
            clipped.push_back(XRectangle { static_cast<short>(left), static_cast<short>(top),
                static_cast<unsigned short>(right - left), static_cast<unsigned short>(bottom - top) });
    }
    return clipped;
}

void ApplyShape(const HWND__& window)
{
    XConnection& x = XConnection::Get();
    if (!window.shape) {
        XShapeCombineMask(x.Display(), window.xid, ShapeBounding, 0, 0, None, ShapeSet);
        return;
    }
    std::vector<XRectangle> rectangles = ClippedRectangles(*window.shape, window);
    XShapeCombineRectangles(x.Display(), window.xid, ShapeBounding, 0, 0, rectangles.data(),
        static_cast<int>(rectangles.size()), ShapeSet, Unsorted);
}

} // namespace

BOOL GetWindowRect(HWND handle, RECT* rect)
{
    HWND__* window = LiveWindow(handle);
    if (!window || !rect)
        return FALSE;
    POINT origin = forms::x11::RootPosition(*window);
    *rect = RECT { origin.x, origin.y, origin.x + window->width, origin.y + window->height };
    return TRUE;
}

BOOL GetCursorPos(POINT* point)
{
    if (!point)
        return FALSE;
    XConnection& x = XConnection::Get();
    ::Window root = 0;
    ::Window child = 0;
    int rootX = 0;
    int rootY = 0;
    int windowX = 0;
    int windowY = 0;
    unsigned int buttons = 0;
    if (!XQueryPointer(x.Display(), x.Root(), &root, &child, &rootX, &rootY, &windowX, &windowY, &buttons))
        return FALSE; // the pointer is on another screen
    *point = POINT { rootX, rootY };
    return TRUE;
}

BOOL SetWindowPos(HWND handle, HWND insertAfter, int x, int y, int, int, UINT flags)
{
    HWND__* window = LiveWindow(handle);
    if (!window)
        return FALSE;
    XConnection& connection = XConnection::Get();
    if (!(flags & SWP_NOMOVE))
        forms::x11::MoveFormWindow(*window, x, y);
    if (!(flags & SWP_NOZORDER) && insertAfter == HWND_TOPMOST)
        forms::x11::KeepAbove(*window);
    XFlush(connection.Display());
    return TRUE;
}

BOOL ReleaseCapture()
{
    XConnection& x = XConnection::Get();
    XUngrabPointer(x.Display(), CurrentTime);
    XFlush(x.Display());
    return TRUE;
}

LRESULT SendMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM)
{
    HWND__* window = LiveWindow(handle);
    if (window && message == WM_NCLBUTTONDOWN && wParam == HTCAPTION)
        forms::x11::MoveWithPointer(*window);
    return 0;
}

int SetWindowRgn(HWND handle, HRGN region, BOOL)
{
    // The window owns the region from here on, even when it cannot use it.
    HRGN__* taken = forms::x11::TakeRegion(region);
    HWND__* window = LiveWindow(handle);
    if (!window) {
        delete taken;
        return 0;
    }
    window->shape = std::unique_ptr<HRGN__, void (*)(HRGN__*)>(taken, ReleaseRegion);
    ApplyShape(*window);
    XFlush(XConnection::Get().Display());
    return 1;
}
