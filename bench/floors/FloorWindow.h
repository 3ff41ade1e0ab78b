#pragma once
// What both floor programs share: the figure's window with nothing of the
// program behind it. Same size, same styles, same place as the figure at its
// default position, the same eyes, the same 70 ms timer; no picture, no
// shape, no runtime, no C++ exceptions in the way.

#include <windows.h>

#include <cmath>

namespace floors {

constexpr int WindowWidth = 193;
constexpr int WindowHeight = 279;
constexpr UINT TickMilliseconds = 70;
constexpr UINT_PTR TimerId = 1;
constexpr wchar_t Caption[] = L"Form1";

constexpr double LeftEyeX = 52;
constexpr double RightEyeX = 138;
constexpr double EyeY = 118;
constexpr double EyeRadius = 17.8;
constexpr double PupilRadius = 7.0;
constexpr double PupilOffset = 10.0;
constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF White = RGB(255, 255, 255);

// Owns one GDI object.
class GdiObject {
public:
    explicit GdiObject(HGDIOBJ object)
        : m_object(object)
    {
    }
    ~GdiObject()
    {
        if (m_object)
            ::DeleteObject(m_object);
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    HGDIOBJ Get() const { return m_object; }

private:
    HGDIOBJ m_object;
};

// Owns a memory device context.
class MemoryDc {
public:
    MemoryDc()
        : m_dc(::CreateCompatibleDC(nullptr))
    {
    }
    ~MemoryDc()
    {
        if (m_dc)
            ::DeleteDC(m_dc);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC Get() const { return m_dc; }

private:
    HDC m_dc;
};

// Selects an object into a DC for the lifetime of the guard.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object)
        : m_dc(dc)
        , m_previous(::SelectObject(dc, object))
    {
    }
    ~Selection() { ::SelectObject(m_dc, m_previous); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// The painting of one WM_PAINT.
class Painting {
public:
    explicit Painting(HWND window)
        : m_window(window)
        , m_dc(::BeginPaint(window, &m_paint))
    {
    }
    ~Painting() { ::EndPaint(m_window, &m_paint); }
    Painting(const Painting&) = delete;
    Painting& operator=(const Painting&) = delete;
    HDC Dc() const { return m_dc; }
    const RECT& Area() const { return m_paint.rcPaint; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint {};
    HDC m_dc;
};

inline int Round(double value) { return static_cast<int>(std::lround(value)); }

// A filled circle as the figure draws one: GDI leaves out the right and
// bottom edges of the box, so both grow by one pixel.
inline RECT CircleBox(double x, double y, double radius)
{
    return RECT { Round(x - radius), Round(y - radius), Round(x + radius) + 1, Round(y + radius) + 1 };
}

inline void FillCircle(HDC dc, const RECT& box, COLORREF colour)
{
    Selection pen(dc, ::GetStockObject(DC_PEN));
    Selection brush(dc, ::GetStockObject(DC_BRUSH));
    ::SetDCPenColor(dc, colour);
    ::SetDCBrushColor(dc, colour);
    ::Ellipse(dc, box.left, box.top, box.right, box.bottom);
}

// One eye with its pupil moved (dx, dy) from the centre.
inline void DrawEye(HDC dc, double eyeX, double dx, double dy)
{
    FillCircle(dc, CircleBox(eyeX, EyeY, EyeRadius), Red);
    FillCircle(dc, CircleBox(eyeX + dx, EyeY + dy, PupilRadius), Black);
}

// The box both eyes are drawn in.
inline RECT EyesBox()
{
    RECT left = CircleBox(LeftEyeX, EyeY, EyeRadius);
    RECT right = CircleBox(RightEyeX, EyeY, EyeRadius);
    return RECT { left.left, left.top, right.right, right.bottom };
}

// A white 32-bit DIB section of the window's size, in its own memory DC.
class BackBuffer {
public:
    BackBuffer()
        : m_bitmap(CreateBitmap())
        , m_selection(m_dc.Get(), m_bitmap.Get())
    {
        RECT all { 0, 0, WindowWidth, WindowHeight };
        GdiObject white(::CreateSolidBrush(White));
        ::FillRect(m_dc.Get(), &all, static_cast<HBRUSH>(white.Get()));
    }
    HDC Dc() const { return m_dc.Get(); }

private:
    static HBITMAP CreateBitmap()
    {
        BITMAPINFO info {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = WindowWidth;
        info.bmiHeader.biHeight = -WindowHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        return ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    }

    MemoryDc m_dc;
    GdiObject m_bitmap;
    Selection m_selection;
};

// The pupil's offset from its eye's centre: 10 pixels toward the pointer.
inline void PupilToward(double eyeX, double eyeY, POINT cursor, double& dx, double& dy)
{
    double towardX = cursor.x - eyeX;
    double towardY = cursor.y - eyeY;
    double distance = std::sqrt(towardX * towardX + towardY * towardY);
    if (distance == 0)
        distance = 1;
    dx = PupilOffset * towardX / distance;
    dy = PupilOffset * towardY / distance;
}

// Reads the pointer and the window's place, as the figure's tick does, and
// draws both eyes looking at the pointer into dc.
inline void DrawEyesLookingAtThePointer(HWND window, HDC dc)
{
    POINT cursor {};
    RECT place {};
    ::GetCursorPos(&cursor);
    ::GetWindowRect(window, &place);
    double dx = 0;
    double dy = 0;
    PupilToward(place.left + LeftEyeX, place.top + EyeY, cursor, dx, dy);
    DrawEye(dc, LeftEyeX, dx, dy);
    PupilToward(place.left + RightEyeX, place.top + EyeY, cursor, dx, dy);
    DrawEye(dc, RightEyeX, dx, dy);
    ::GdiFlush();
}

// Paints what WM_PAINT asks for from the back buffer in dc.
inline void PaintFrom(HWND window, HDC buffer)
{
    Painting painting(window);
    const RECT& area = painting.Area();
    ::BitBlt(painting.Dc(), area.left, area.top, area.right - area.left, area.bottom - area.top, buffer, area.left,
        area.top, SRCCOPY);
}

// Registers the class and creates the window hidden, where the figure first
// appears: at the top of the screen, centred.
inline HWND CreateFloorWindow(WNDPROC procedure)
{
    WNDCLASSEXW windowClass {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.lpszClassName = L"PeerkinFloor";
    ::RegisterClassExW(&windowClass);
    int left = (::GetSystemMetrics(SM_CXSCREEN) - WindowWidth) / 2;
    DWORD style = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    return ::CreateWindowExW(WS_EX_APPWINDOW | WS_EX_TOPMOST, windowClass.lpszClassName, Caption, style, left, 0,
        WindowWidth, WindowHeight, nullptr, nullptr, windowClass.hInstance, nullptr);
}

// Starts the timer, shows the window and runs until it is destroyed.
inline int RunFloor(HWND window)
{
    ::SetTimer(window, TimerId, TickMilliseconds, nullptr);
    ::ShowWindow(window, SW_SHOWNOACTIVATE);
    ::UpdateWindow(window);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

// A floor whose tick draws into a back buffer: WM_TIMER calls the tick,
// WM_PAINT repaints from the buffer.
struct BufferedFloor {
    static inline BackBuffer* buffer = nullptr;
    static inline void (*tick)(HWND window, HDC buffer) = nullptr;

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        switch (message) {
        case WM_TIMER: tick(window, buffer->Dc()); return 0;
        case WM_PAINT: PaintFrom(window, buffer->Dc()); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_DESTROY: ::PostQuitMessage(0); return 0;
        default: return ::DefWindowProcW(window, message, wParam, lParam);
        }
    }
};

// Runs a buffered floor with tick; its first paint already shows the eyes.
inline int RunBufferedFloor(void (*tick)(HWND window, HDC buffer))
{
    BackBuffer backBuffer;
    BufferedFloor::buffer = &backBuffer;
    BufferedFloor::tick = tick;
    HWND window = CreateFloorWindow(BufferedFloor::Procedure);
    DrawEyesLookingAtThePointer(window, backBuffer.Dc());
    return RunFloor(window);
}

} // namespace floors
