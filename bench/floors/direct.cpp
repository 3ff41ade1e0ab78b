// The leanest floor for a figure whose eyes follow the pointer: each tick
// reads the pointer and the window's place, draws the two red discs and two
// black pupils into a DIB-section back buffer with the DC pen and brush, and
// copies the eyes' box straight to the window through its DC, without a
// WM_PAINT in between. WM_PAINT only repaints what was uncovered.
#include "FloorWindow.h"

namespace {

void Tick(HWND window, HDC buffer)
{
    floors::DrawEyesLookingAtThePointer(window, buffer);
    RECT eyes = floors::EyesBox();
    HDC dc = ::GetDC(window);
    ::BitBlt(dc, eyes.left, eyes.top, eyes.right - eyes.left, eyes.bottom - eyes.top, buffer, eyes.left, eyes.top,
        SRCCOPY);
    ::ReleaseDC(window, dc);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return floors::RunBufferedFloor(Tick); }
