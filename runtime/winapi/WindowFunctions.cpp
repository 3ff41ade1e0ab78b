// The window functions of the <windows.h> layer that every back-end's
// windows answer alike; where the pointer is, and letting go of it, are the
// back-end's own (GetCursorPos, ReleaseCapture).
#include "GdiObjects.h"
#include "LayerWindow.h"

using forms::winapi::LayerWindow;
using forms::winapi::LayerWindowOf;

BOOL GetWindowRect(HWND handle, RECT* rect)
{
    LayerWindow* window = LayerWindowOf(handle);
    if (!window || !rect)
        return FALSE;
    *rect = window->Bounds();
    return TRUE;
}

BOOL SetWindowPos(HWND handle, HWND insertAfter, int x, int y, int, int, UINT flags)
{
    LayerWindow* window = LayerWindowOf(handle);
    if (!window)
        return FALSE;
    if (!(flags & SWP_NOMOVE))
        window->MoveTo(x, y);
    if (!(flags & SWP_NOZORDER) && insertAfter == HWND_TOPMOST)
        window->KeepAbove();
    return TRUE;
}

LRESULT SendMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    LayerWindow* window = LayerWindowOf(handle);
    if (window && message == WM_NCLBUTTONDOWN && wParam == HTCAPTION)
        window->MoveWithPointer(lParam);
    return 0;
}

int SetWindowRgn(HWND handle, HRGN region, BOOL)
{
    // The window owns the region from here on, even when it cannot use it.
    HRGN__* taken = forms::winapi::TakeRegion(region);
    LayerWindow* window = LayerWindowOf(handle);
    if (!window) {
        delete taken;
        return 0;
    }
    window->SetShape(taken);
    return 1;
}
