// The floor for a figure that only watches: the same window and timer, and a
// tick that asks for the pointer and the window's place and does nothing
// else. It paints once, when shown: white with two eyes looking ahead, so
// that its first paint is seen the same way as the figure's.
#include "FloorWindow.h"

namespace {

POINT g_cursor {};
RECT g_window {};

void Paint(HWND window)
{
    floors::Painting painting(window);
    floors::GdiObject white(::CreateSolidBrush(floors::White));
    ::FillRect(painting.Dc(), &painting.Area(), static_cast<HBRUSH>(white.Get()));
    floors::DrawEye(painting.Dc(), floors::LeftEyeX, 0, 0);
    floors::DrawEye(painting.Dc(), floors::RightEyeX, 0, 0);
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        ::GetCursorPos(&g_cursor);
        ::GetWindowRect(window, &g_window);
        return 0;
    case WM_PAINT: Paint(window); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_DESTROY: ::PostQuitMessage(0); return 0;
    default: return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return floors::RunFloor(floors::CreateFloorWindow(WindowProcedure));
}
