// The floor for a figure whose eyes follow the pointer: the same window and
// timer, and a tick that reads the pointer and the window's place, draws the
// two red discs and two black pupils into a DIB-section back buffer and shows
// the eyes' box of it through WM_PAINT, every tick, whether anything changed
// or not.
#include "FloorWindow.h"

namespace {

void Tick(HWND window, HDC buffer)
{
    floors::DrawEyesLookingAtThePointer(window, buffer);
    RECT eyes = floors::EyesBox();
    ::InvalidateRect(window, &eyes, FALSE);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return floors::RunBufferedFloor(Tick); }
