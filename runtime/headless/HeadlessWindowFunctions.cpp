// The window functions of the <windows.h> layer that are the back-end's
// own: the pointer that tests drive, and which window a handle names.
#include "HeadlessControl.h"
#include "HeadlessEventLoop.h"
#include "HeadlessWindow.h"

BOOL GetCursorPos(POINT* point)
{
    if (!point)
        return FALSE;
    *point = forms::headless::Pointer();
    return TRUE;
}

BOOL ReleaseCapture()
{
    forms::headless::SetPointerHeld(false);
    return TRUE;
}

forms::winapi::LayerWindow* forms::winapi::LayerWindowOf(HWND handle) { return forms::headless::LiveWindow(handle); }
