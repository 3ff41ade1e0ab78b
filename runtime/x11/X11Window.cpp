// A form's window on X11: making and destroying the X window, showing it,
// its timers and what it draws. Its properties, shape, place, events and
// the registry of live windows are in the X11Window*.cpp files beside this.
#include "X11Window.h"

#include "X11Connection.h"
#include "X11EventLoop.h"
#include "X11Image.h"

#include <algorithm>
#include <cstdint>

namespace forms::x11 {

X11Window::X11Window(const WindowSettings& settings, WindowEvents& events)
    : m_events(events)
    , m_scale(X11Connection::Get().Scale())
    , m_width(std::max(settings.width, 0))
    , m_height(std::max(settings.height, 0))
    , m_backColor(settings.backColor)
    , m_picture(settings.picture)
{
    X11Connection& x = X11Connection::Get();
    m_overrideRedirect = !x.HasWindowManager();
    XSetWindowAttributes attributes {};
    attributes.override_redirect = m_overrideRedirect ? True : False;
    attributes.event_mask = FormEvents;
    attributes.background_pixmap = None; // painting covers every pixel: no flicker
    auto deviceWidth = static_cast<unsigned>(std::max(m_scale.ToDevice(m_width), 1));
    auto deviceHeight = static_cast<unsigned>(std::max(m_scale.ToDevice(m_height), 1));
    m_xid = XCreateWindow(x.Display(), x.Root(), 0, 0, deviceWidth, deviceHeight, 0, CopyFromParent, InputOutput,
        CopyFromParent, CWOverrideRedirect | CWEventMask | CWBackPixmap, &attributes);
    m_gc = XCreateGC(x.Display(), m_xid, 0, nullptr);
    SetProperties(settings);
    Register();
}

X11Window::~X11Window()
{
    Unregister();
    StopTimers(m_xid);
    X11Connection& x = X11Connection::Get();
    XFreeGC(x.Display(), m_gc);
    XDestroyWindow(x.Display(), m_xid);
    XFlush(x.Display());
}

HWND X11Window::Handle() const { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(m_xid)); }

void X11Window::Show()
{
    X11Connection& x = X11Connection::Get();
    if (!m_mapped)
        XMapRaised(x.Display(), m_xid);
    m_mapped = true;
    XFlush(x.Display());
}

void X11Window::StartTimer(std::size_t index, unsigned interval) { x11::StartTimer(m_xid, index, interval); }

void X11Window::Present(const OffscreenImage& image, const RECT& area)
{
    if (m_mapped)
        Copy(image, area);
}

// Every image a form hands this window was made by this back-end.
void X11Window::Copy(const OffscreenImage& image, const RECT& area)
{
    static_cast<const X11Image&>(image).CopyTo(m_xid, m_gc, area);
}

void X11Window::DrawEllipse(const RECT& box, COLORREF pen, std::optional<COLORREF> fill)
{
    // X keeps no copy of what a window shows: the ellipse goes over the
    // background and picture, and only its box is copied.
    X11Image scratch(m_width, m_height, m_backColor, m_picture, m_scale);
    scratch.DrawEllipse(box, pen, fill);
    scratch.CopyTo(m_xid, m_gc, box);
}

// X keeps no copy of what a window shows: what it shows is the image it
// was last painted from.
COLORREF X11Window::ScreenPixel(int x, int y) { return m_events.ShownImage().PixelAt(x, y); }

} // namespace forms::x11
