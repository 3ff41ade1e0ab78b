#include "Win32Window.h"

#include "FormDefinition.h"
#include "NumberText.h"
#include "ProductIdentity.h"
#include "Win32Handles.h"
#include "Win32Image.h"

#include <windowsx.h>

#include <algorithm>
#include <string>

namespace forms {
namespace {

// Icons of a standard size, shared: the system keeps them as long as the
// program runs, whatever windows come and go.
HICON LoadIconOfSize(int resource, int size)
{
    return static_cast<HICON>(::LoadImageW(
        ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), IMAGE_ICON, size, size, LR_SHARED));
}

// Forms with the same icon share a window class that carries the icon: a
// window then has its icon from its creation on, which costs the platform
// far less than giving an existing window its big and small icons.
std::wstring FormClassName(int iconResource)
{
    return product::WindowClassName + NumberToText(static_cast<float>(iconResource));
}

void RegisterFormClass(const std::wstring& name, int iconResource, WNDPROC procedure)
{
    WNDCLASSEXW windowClass {};
    windowClass.cbSize = sizeof windowClass;
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    if (::GetClassInfoExW(instance, name.c_str(), &windowClass))
        return;
    // Without CS_DBLCLKS a second press never becomes a double-click.
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    if (iconResource != 0) {
        windowClass.hIcon = LoadIconOfSize(iconResource, ::GetSystemMetrics(SM_CXICON));
        windowClass.hIconSm = LoadIconOfSize(iconResource, ::GetSystemMetrics(SM_CXSMICON));
    }
    windowClass.lpszClassName = name.c_str();
    ::RegisterClassExW(&windowClass);
}

std::int16_t ShiftStateOf(WPARAM keys)
{
    return ShiftState::Of((keys & MK_SHIFT) != 0, (keys & MK_CONTROL) != 0, ::GetKeyState(VK_MENU) < 0);
}

Win32Window* WindowOf(HWND window)
{
    return reinterpret_cast<Win32Window*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

} // namespace

Win32Window::Win32Window(const WindowSettings& settings, WindowEvents& events)
    : m_events(events)
{
    std::wstring className = FormClassName(settings.iconResource);
    RegisterFormClass(className, settings.iconResource, WindowProcedure);
    // A popup has neither border nor title bar; the system menu and minimise
    // box give its taskbar button the usual Close and Minimise.
    DWORD style = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    DWORD extendedStyle = settings.showInTaskbar ? WS_EX_APPWINDOW : WS_EX_TOOLWINDOW;
    ::CreateWindowExW(extendedStyle, className.c_str(), settings.caption.c_str(), style, 0, 0, settings.width,
        settings.height, nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
}

Win32Window::~Win32Window()
{
    if (!m_window)
        return;
    // Asked for, not closed from outside: the form hears nothing of it.
    ::SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
    for (std::size_t id = 1; id <= m_timers; ++id)
        ::KillTimer(m_window, id);
    ::DestroyWindow(m_window);
}

LRESULT CALLBACK Win32Window::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_window = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    Win32Window* self = WindowOf(window);
    if (self && message == WM_NCDESTROY)
        self->Closed(); // may delete self
    else if (self && self->HandleMessage(message, wParam, lParam))
        return 0;
    return ::DefWindowProcW(window, message, wParam, lParam);
}

bool Win32Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND: return true; // painting covers every pixel: no flicker
    case WM_PAINT: Paint(); return true;
    case WM_TIMER:
        if (wParam != 0)
            m_events.OnTick(wParam - 1);
        return true;
    case WM_LBUTTONDOWN: MouseDown(MouseButton::Left, wParam, lParam); return true;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: MouseDown(MouseButton::Right, wParam, lParam); return true;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: MouseDown(MouseButton::Middle, wParam, lParam); return true;
    case WM_LBUTTONDBLCLK: m_events.OnDoubleClick(); return true;
    default: return false;
    }
}

void Win32Window::MouseDown(std::int16_t button, WPARAM keys, LPARAM position)
{
    m_events.OnMouseDown(button, ShiftStateOf(keys), GET_X_LPARAM(position), GET_Y_LPARAM(position));
}

// Destroyed from outside (closed from the taskbar, say): the window is gone
// already, and the form that owns this object lets it go.
void Win32Window::Closed()
{
    ::SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
    m_window = nullptr;
    m_events.OnClosed();
}

void Win32Window::Paint()
{
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(m_window, &paint);
    // Every image a form hands this window was made by this back-end.
    static_cast<const Win32Image&>(m_events.ShownImage()).CopyTo(dc, paint.rcPaint);
    ::EndPaint(m_window, &paint);
}

RECT Win32Window::Bounds()
{
    RECT rect {};
    ::GetWindowRect(m_window, &rect);
    return rect;
}

PixelSize Win32Window::ClientSize()
{
    RECT client {};
    ::GetClientRect(m_window, &client);
    return PixelSize { client.right, client.bottom };
}

void Win32Window::MoveTo(int x, int y)
{
    ::SetWindowPos(m_window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::Show()
{
    ::ShowWindow(m_window, SW_SHOWNOACTIVATE);
    ::UpdateWindow(m_window);
}

void Win32Window::StartTimer(std::size_t index, unsigned interval)
{
    ::SetTimer(m_window, index + 1, interval, nullptr);
    m_timers = std::max(m_timers, index + 1);
}

// Copied straight through the window's device context, from an image that
// is whole already, so it cannot flicker: a repaint through WM_PAINT would
// cost the platform an invalid region and a message round trip on every
// tick. WM_PAINT still repaints whatever another window uncovers.
void Win32Window::Present(const OffscreenImage& image, const RECT& area)
{
    WindowDc dc(m_window);
    static_cast<const Win32Image&>(image).CopyTo(dc.Get(), area);
}

void Win32Window::DrawEllipse(const RECT& box, COLORREF pen, std::optional<COLORREF> fill)
{
    WindowDc dc(m_window);
    DrawEllipseOn(dc.Get(), box, pen, fill);
}

COLORREF Win32Window::ScreenPixel(int x, int y)
{
    PixelSize size = ClientSize();
    if (x < 0 || y < 0 || x >= size.width || y >= size.height)
        return CLR_INVALID;
    WindowDc dc(m_window);
    return ::GetPixel(dc.Get(), x, y);
}

} // namespace forms
