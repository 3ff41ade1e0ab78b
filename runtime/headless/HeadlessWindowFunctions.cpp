// The window functions of the <windows.h> layer, over the headless windows,
// the pointer and the screen that tests drive.
#include "GdiObjects.h"
#include "HeadlessControl.h"
#include "HeadlessEventLoop.h"
#include "HeadlessWindow.h"

using forms::headless::HeadlessWindow;
using forms::headless::LiveWindow;

BOOL GetWindowRect(HWND handle, RECT* rect)
{
    HeadlessWindow* window = LiveWindow(handle);
    if (!window || !rect)
        return FALSE;
    *rect = window->Bounds();
    return TRUE;
}

BOOL GetCursorPos(POINT* point)
{
    if (!point)
        return FALSE;
    *point = forms::headless::Pointer();
    return TRUE;
}

BOOL SetWindowPos(HWND handle, HWND insertAfter, int x, int y, int, int, UINT flags)
{
    HeadlessWindow* window = LiveWindow(handle);
    if (!window)
        return FALSE;
    if (!(flags & SWP_NOMOVE))
        window->MoveTo(x, y);
    if (!(flags & SWP_NOZORDER) && insertAfter == HWND_TOPMOST)
        window->KeepAbove();
    return TRUE;
}

BOOL ReleaseCapture()
{
    forms::headless::SetPointerHeld(false);
    return TRUE;
}

LRESULT SendMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (LiveWindow(handle) && message == WM_NCLBUTTONDOWN && wParam == HTCAPTION)
        forms::headless::HandOver(handle, wParam, lParam);
    return 0;
}

int SetWindowRgn(HWND handle, HRGN region, BOOL)
{
    // The window owns the region from here on, even when it cannot use it.
    HRGN__* taken = forms::posix::TakeRegion(region);
    HeadlessWindow* window = LiveWindow(handle);
    if (!window) {
        delete taken;
        return 0;
    }
    window->SetShape(taken);
    return 1;
}
