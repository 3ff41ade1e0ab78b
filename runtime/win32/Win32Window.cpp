#include "Win32Window.h"

#include "Failure.h"
#include "FormDefinition.h"
#include "NumberText.h"
#include "ProductIdentity.h"
#include "DevicePlane.h"
#include "Win32Dpi.h"
#include "Win32Handles.h"
#include "Win32Image.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

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

using win32::DpiContextScope;
constexpr auto ProgramContext = DpiContextScope::Context::Program;
constexpr auto DeviceContext = DpiContextScope::Context::Device;

UniqueRegion CopyOf(HRGN region)
{
    UniqueRegion copy(::CreateRectRgn(0, 0, 0, 0));
    ::CombineRgn(copy.Get(), region, nullptr, RGN_COPY);
    return copy;
}

std::vector<PixelEdges> BoxesOf(HRGN region)
{
    DWORD size = ::GetRegionData(region, 0, nullptr);
    std::vector<DWORD> buffer((size + sizeof(DWORD) - 1) / sizeof(DWORD) + 1);
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    std::vector<PixelEdges> boxes;
    if (size == 0 || ::GetRegionData(region, size, data) == 0)
        return boxes;
    const auto* rects = reinterpret_cast<const RECT*>(data->Buffer);
    for (DWORD at = 0; at < data->rdh.nCount; ++at)
        boxes.push_back(PixelEdges { rects[at].left, rects[at].top, rects[at].right, rects[at].bottom });
    return boxes;
}

// One region of all the spans, made by the system in one call.
HRGN RegionOf(const std::vector<DeviceSpan>& spans)
{
    std::vector<DWORD> buffer((sizeof(RGNDATAHEADER) + spans.size() * sizeof(RECT)) / sizeof(DWORD) + 1);
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    data->rdh = RGNDATAHEADER { sizeof(RGNDATAHEADER), RDH_RECTANGLES, static_cast<DWORD>(spans.size()), 0, {} };
    auto* rects = reinterpret_cast<RECT*>(data->Buffer);
    RECT& bound = data->rdh.rcBound;
    bound = RECT { INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN };
    for (std::size_t at = 0; at < spans.size(); ++at) {
        rects[at] = RECT { spans[at].first, spans[at].y, spans[at].end, spans[at].y + 1 };
        bound = RECT { std::min(bound.left, rects[at].left), std::min(bound.top, rects[at].top),
            std::max(bound.right, rects[at].right), std::max(bound.bottom, rects[at].bottom) };
    }
    if (spans.empty())
        bound = RECT {};
    auto size = static_cast<DWORD>(sizeof(RGNDATAHEADER) + spans.size() * sizeof(RECT));
    return ::ExtCreateRegion(nullptr, size, data);
}

} // namespace

Win32Window::Win32Window(const WindowSettings& settings, WindowEvents& events)
    : m_events(events)
    , m_width(std::max(settings.width, 0))
    , m_height(std::max(settings.height, 0))
    , m_pictureResource(settings.pictureResource)
{
    std::wstring className = FormClassName(settings.iconResource);
    RegisterFormClass(className, settings.iconResource, WindowProcedure);
    // A popup has neither border nor title bar; the system menu and minimise
    // box give its taskbar button the usual Close and Minimise.
    DWORD style = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    DWORD extendedStyle = settings.showInTaskbar ? WS_EX_APPWINDOW : WS_EX_TOOLWINDOW;
    // Made in the window's own context, which its messages then run in: the
    // system neither enlarges it nor scales what it reports.
    DpiContextScope device(DeviceContext);
    ::CreateWindowExW(extendedStyle, className.c_str(), settings.caption.c_str(), style, 0, 0, settings.width,
        settings.height, nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
    if (!m_window)
        return;
    m_scale = DeviceScale::OfDotsPerInch(win32::DotsPerInchOf(m_window));
    SizeForScale();
}

// The program's pixels times the scale, rounded; at scale 1 as made.
void Win32Window::SizeForScale()
{
    if (m_scale.IsIdentity())
        return;
    DpiContextScope device(DeviceContext);
    ::SetWindowPos(m_window, nullptr, 0, 0, m_scale.ToDevice(m_width), m_scale.ToDevice(m_height),
        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
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
    if (self && message == WM_NCDESTROY) {
        self->Closed(); // may delete self
    } else if (self && self->HandleMessage(message, wParam, lParam)) {
        // An event may have unloaded the form, and its window with it.
        if (Win32Window* still = WindowOf(window))
            still->KeepShapeAtDeviceResolution();
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

template <typename Event>
void Win32Window::RaiseInProgramContext(Event&& event)
{
    DpiContextScope program(ProgramContext);
    event();
}

bool Win32Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND: return true; // painting covers every pixel: no flicker
    case WM_PAINT: Paint(); return true;
    case WM_TIMER:
        if (wParam != 0)
            RaiseInProgramContext([&] { m_events.OnTick(wParam - 1); });
        return true;
    case WM_LBUTTONDOWN: MouseDown(MouseButton::Left, wParam, lParam); return true;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: MouseDown(MouseButton::Right, wParam, lParam); return true;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: MouseDown(MouseButton::Middle, wParam, lParam); return true;
    case WM_LBUTTONDBLCLK: RaiseInProgramContext([this] { m_events.OnDoubleClick(); }); return true;
    case WM_WINDOWPOSCHANGED:
        // A new region makes the system send this (SetWindowRgn).
        if (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_FRAMECHANGED)
            m_shapeMayHaveChanged = true;
        return false;
    case WM_DPICHANGED:
        DotsPerInchChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return true;
    default: return false;
    }
}

void Win32Window::MouseDown(std::int16_t button, WPARAM keys, LPARAM position)
{
    // The program's pixel under the pointer.
    int x = m_scale.ProgramPixelOf(GET_X_LPARAM(position));
    int y = m_scale.ProgramPixelOf(GET_Y_LPARAM(position));
    RaiseInProgramContext([&] { m_events.OnMouseDown(button, ShiftStateOf(keys), x, y); });
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
    const auto& image = static_cast<const Win32Image&>(m_events.ShownImage());
    image.ShowAtScale(m_scale, m_pictureResource);
    image.CopyDevicePixels(dc, paint.rcPaint);
    ::EndPaint(m_window, &paint);
}

// Moved onto a monitor of another scale: the place the system suggests, the
// size of the new scale, and everything shown drawn again for it.
void Win32Window::DotsPerInchChanged(unsigned dotsPerInch, const RECT& suggested)
{
    m_scale = DeviceScale::OfDotsPerInch(dotsPerInch);
    {
        DpiContextScope device(DeviceContext);
        ::SetWindowPos(m_window, nullptr, suggested.left, suggested.top, m_scale.ToDevice(m_width),
            m_scale.ToDevice(m_height), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    static_cast<const Win32Image&>(m_events.ShownImage()).ShowAtScale(m_scale, m_pictureResource);
    ApplyDeviceShape();
    ::InvalidateRect(m_window, nullptr, FALSE);
}

void Win32Window::KeepShapeAtDeviceResolution()
{
    if (!m_shapeMayHaveChanged)
        return;
    m_shapeMayHaveChanged = false;
    UniqueRegion current(::CreateRectRgn(0, 0, 0, 0));
    if (::GetWindowRgn(m_window, current.Get()) == ERROR) {
        m_programShape.Reset(); // the program took the shape away
        m_deviceShape.Reset();
        return;
    }
    if (m_deviceShape && ::EqualRgn(current.Get(), m_deviceShape.Get()))
        return; // the one given for the program's
    m_programShape = std::move(current);
    if (!m_scale.IsIdentity())
        ApplyDeviceShape();
}

// Region coordinates are the window's own pixels whatever the thread's
// context: the program's region is refined here by the outline of the
// picture drawn for the device, as the program cut it from its picture.
void Win32Window::ApplyDeviceShape()
{
    m_deviceShape.Reset();
    if (!m_programShape)
        return;
    HRGN shape = nullptr;
    if (m_scale.IsIdentity()) {
        shape = CopyOf(m_programShape.Get()).Release();
    } else {
        const auto& image = static_cast<const Win32Image&>(m_events.ShownImage());
        image.ShowAtScale(m_scale, m_pictureResource);
        shape = RegionOf(DeviceShape(BoxesOf(m_programShape.Get()), m_width, m_height, m_scale, image.ShownPlane()));
    }
    if (!shape)
        Fail(FailureCode::OutOfMemory);
    m_deviceShape = CopyOf(shape);
    ::SetWindowRgn(m_window, shape, TRUE); // the system owns shape from here on
    m_shapeMayHaveChanged = false;
}

// The program's pixels, as the system tells a program unaware of the scale.
RECT Win32Window::Bounds()
{
    DpiContextScope program(ProgramContext);
    RECT rect {};
    ::GetWindowRect(m_window, &rect);
    return RECT { rect.left, rect.top, rect.left + m_width, rect.top + m_height };
}

PixelSize Win32Window::ClientSize() { return PixelSize { m_width, m_height }; }

void Win32Window::MoveTo(int x, int y)
{
    DpiContextScope program(ProgramContext);
    ::SetWindowPos(m_window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::Show()
{
    KeepShapeAtDeviceResolution(); // before anyone sees the program's own
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
    const auto& shown = static_cast<const Win32Image&>(image);
    shown.ShowAtScale(m_scale, m_pictureResource);
    DpiContextScope device(DeviceContext);
    WindowDc dc(m_window);
    shown.CopyTo(dc.Get(), area);
}

void Win32Window::DrawEllipse(const RECT& box, COLORREF pen, std::optional<COLORREF> fill)
{
    DpiContextScope device(DeviceContext);
    WindowDc dc(m_window);
    RECT scaled { m_scale.ToDevice(box.left), m_scale.ToDevice(box.top), m_scale.ToDevice(box.right),
        m_scale.ToDevice(box.bottom) };
    DrawEllipseOn(dc.Get(), scaled, pen, fill);
}

COLORREF Win32Window::ScreenPixel(int x, int y)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return CLR_INVALID;
    DpiContextScope device(DeviceContext);
    WindowDc dc(m_window);
    return ::GetPixel(dc.Get(), m_scale.DeviceEdgeBefore(x), m_scale.DeviceEdgeBefore(y));
}

} // namespace forms
