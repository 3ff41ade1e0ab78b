// The floor for a figure whose eyes follow the pointer: the same window and
// timer, and a tick that reads the pointer and the window's place, draws the
// two red discs and two black pupils into a DIB-section back buffer and shows
// the eyes' box of it, every tick, whether anything changed or not.
#include "FloorWindow.h"

#include <cmath>

namespace {

// A white 32-bit DIB section of the window's size, in its own memory DC.
class BackBuffer {
public:
    BackBuffer()
        : m_bitmap(CreateBitmap())
        , m_selection(m_dc.Get(), m_bitmap.Get())
    {
        RECT all { 0, 0, floors::WindowWidth, floors::WindowHeight };
        floors::GdiObject white(::CreateSolidBrush(floors::White));
        ::FillRect(m_dc.Get(), &all, static_cast<HBRUSH>(white.Get()));
    }
    HDC Dc() const { return m_dc.Get(); }

private:
    static HBITMAP CreateBitmap()
    {
        BITMAPINFO info {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = floors::WindowWidth;
        info.bmiHeader.biHeight = -floors::WindowHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        return ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    }

    floors::MemoryDc m_dc;
    floors::GdiObject m_bitmap;
    floors::Selection m_selection;
};

BackBuffer* g_buffer = nullptr;

// The pupil's offset from its eye's centre: 10 pixels toward the pointer.
void PupilOffset(double eyeX, double eyeY, POINT cursor, double& dx, double& dy)
{
    double towardX = cursor.x - eyeX;
    double towardY = cursor.y - eyeY;
    double distance = std::sqrt(towardX * towardX + towardY * towardY);
    if (distance == 0)
        distance = 1;
    dx = floors::PupilOffset * towardX / distance;
    dy = floors::PupilOffset * towardY / distance;
}

void DrawEyes(const RECT& window, POINT cursor)
{
    double dx = 0;
    double dy = 0;
    PupilOffset(window.left + floors::LeftEyeX, window.top + floors::EyeY, cursor, dx, dy);
    floors::DrawEye(g_buffer->Dc(), floors::LeftEyeX, dx, dy);
    PupilOffset(window.left + floors::RightEyeX, window.top + floors::EyeY, cursor, dx, dy);
    floors::DrawEye(g_buffer->Dc(), floors::RightEyeX, dx, dy);
    ::GdiFlush();
}

void Tick(HWND window)
{
    POINT cursor {};
    RECT place {};
    ::GetCursorPos(&cursor);
    ::GetWindowRect(window, &place);
    DrawEyes(place, cursor);
    RECT eyes = floors::EyesBox();
    ::InvalidateRect(window, &eyes, FALSE);
}

void Paint(HWND window)
{
    floors::Painting painting(window);
    const RECT& area = painting.Area();
    ::BitBlt(painting.Dc(), area.left, area.top, area.right - area.left, area.bottom - area.top, g_buffer->Dc(),
        area.left, area.top, SRCCOPY);
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER: Tick(window); return 0;
    case WM_PAINT: Paint(window); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_DESTROY: ::PostQuitMessage(0); return 0;
    default: return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    BackBuffer buffer;
    g_buffer = &buffer;
    HWND window = floors::CreateFloorWindow(WindowProcedure);
    Tick(window); // the first paint already shows the eyes
    return floors::RunFloor(window);
}
