#include "X11Window.h"

#include "Ansi.h"
#include "FormDefinition.h"
#include "GdiObjects.h"
#include "ImageFiles.h"
#include "ProductIdentity.h"
#include "Resources.h"
#include "X11Connection.h"
#include "X11EventLoop.h"
#include "X11Image.h"
#include "X11State.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unordered_map>
#include <vector>

namespace forms::x11 {

using winapi::FindResourceBytes;

namespace {

constexpr long FormEvents
    = ExposureMask | ButtonPressMask | ButtonReleaseMask | VisibilityChangeMask | StructureNotifyMask;

// How far apart the presses of a double-click may be, as on Windows: within
// a box 4 pixels wide and high.
constexpr int DoubleClickReach = 2;

// How long after a window first shows its window manager may still be
// placing it.
constexpr std::chrono::milliseconds PlacingTime { 1000 };

std::unordered_map<::Window, X11Window*>& Windows() { return State().windows; }

void SetCardinals(X11Connection& x, ::Window window, const char* property, Atom type, const unsigned long* items,
    int count)
{
    XChangeProperty(x.Display(), window, x.Intern(property), type, 32, PropModeReplace,
        reinterpret_cast<const unsigned char*>(items), count);
}

void SetTitle(X11Connection& x, ::Window window, const std::wstring& caption)
{
    std::string title = ToAnsi(caption); // UTF-8 on this platform
    XStoreName(x.Display(), window, title.c_str());
    XChangeProperty(x.Display(), window, x.Intern("_NET_WM_NAME"), x.Intern("UTF8_STRING"), 8, PropModeReplace,
        reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
}

// No border and no title bar, whatever the window manager would add.
void SetNoDecorations(X11Connection& x, ::Window window)
{
    constexpr unsigned long DecorationsFlag = 2;
    const unsigned long hints[5] = { DecorationsFlag, 0, 0, 0, 0 };
    SetCardinals(x, window, "_MOTIF_WM_HINTS", x.Intern("_MOTIF_WM_HINTS"), hints, 5);
}

// A fixed size at the position the program sets, not where the window
// manager would choose; and no keyboard focus on showing. The static
// gravity makes a position the client window's own, not that of a frame
// the window manager puts round it: a position read back and stored opens
// at the same place again, however wide the frame.
void SetPlacementHints(X11Connection& x, ::Window window, int width, int height)
{
    XSizeHints size {};
    size.flags = USPosition | PPosition | PMinSize | PMaxSize | PWinGravity;
    size.win_gravity = StaticGravity;
    size.min_width = size.max_width = width;
    size.min_height = size.max_height = height;
    XSetWMNormalHints(x.Display(), window, &size);
    XWMHints hints {};
    hints.flags = InputHint | StateHint;
    hints.input = False;
    hints.initial_state = NormalState;
    XSetWMHints(x.Display(), window, &hints);
}

void SetClassAndProcess(X11Connection& x, ::Window window)
{
    std::string name = product::ShortName;
    std::string className = product::ClassName;
    XClassHint classHint { name.data(), className.data() };
    XSetClassHint(x.Display(), window, &classHint);
    unsigned long pid = static_cast<unsigned long>(::getpid());
    SetCardinals(x, window, "_NET_WM_PID", XA_CARDINAL, &pid, 1);
    Atom closing = x.Intern("WM_DELETE_WINDOW");
    XSetWMProtocols(x.Display(), window, &closing, 1);
}

// The icon's 32-bit images as the window manager reads them: width, height,
// then the pixels, image after image.
void SetIcon(X11Connection& x, ::Window window, int iconResource)
{
    std::optional<std::span<const std::uint8_t>> bytes = FindResourceBytes(iconResource, IMAGE_ICON);
    if (!bytes)
        return;
    std::vector<unsigned long> items;
    for (const PixelImage& image : ReadIconImages(*bytes)) {
        items.push_back(static_cast<unsigned long>(image.width));
        items.push_back(static_cast<unsigned long>(image.height));
        items.insert(items.end(), image.pixels.begin(), image.pixels.end());
    }
    if (!items.empty())
        SetCardinals(x, window, "_NET_WM_ICON", XA_CARDINAL, items.data(), static_cast<int>(items.size()));
}

void SetStateAbove(X11Connection& x, ::Window window)
{
    unsigned long above = x.Intern("_NET_WM_STATE_ABOVE");
    SetCardinals(x, window, "_NET_WM_STATE", XA_ATOM, &above, 1);
}

// Asks the running window manager to keep a shown window above the others.
void RequestStateAbove(X11Connection& x, ::Window window)
{
    constexpr long AddState = 1;
    constexpr long SourceIsApplication = 1;
    x.AskWindowManager(window, "_NET_WM_STATE",
        { AddState, static_cast<long>(x.Intern("_NET_WM_STATE_ABOVE")), 0, SourceIsApplication, 0 });
}

std::int16_t ShiftStateOf(unsigned int state)
{
    return ShiftState::Of((state & ShiftMask) != 0, (state & ControlMask) != 0, (state & Mod1Mask) != 0);
}

// X rectangles have 16-bit corners; a shape only matters within the window.
std::vector<XRectangle> ClippedRectangles(const HRGN__& region, int width, int height)
{
    std::vector<XRectangle> clipped;
    clipped.reserve(region.rects.size());
    for (const RECT& rect : region.rects) {
        LONG left = std::max<LONG>(rect.left, 0);
        LONG top = std::max<LONG>(rect.top, 0);
        LONG right = std::min<LONG>(rect.right, width);
        LONG bottom = std::min<LONG>(rect.bottom, height);
        if (left < right && top < bottom)
            clipped.push_back(XRectangle { static_cast<short>(left), static_cast<short>(top),
                static_cast<unsigned short>(right - left), static_cast<unsigned short>(bottom - top) });
    }
    return clipped;
}

} // namespace

void X11Window::ShapeDeleter::operator()(HRGN__* region) const { delete region; }

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
    Windows().emplace(m_xid, this);
}

X11Window::~X11Window()
{
    Windows().erase(m_xid);
    StopTimers(m_xid);
    X11Connection& x = X11Connection::Get();
    XFreeGC(x.Display(), m_gc);
    XDestroyWindow(x.Display(), m_xid);
    XFlush(x.Display());
}

void X11Window::SetProperties(const WindowSettings& settings)
{
    X11Connection& x = X11Connection::Get();
    SetTitle(x, m_xid, settings.caption);
    SetNoDecorations(x, m_xid);
    SetPlacementHints(x, m_xid, std::max(m_scale.ToDevice(m_width), 1), std::max(m_scale.ToDevice(m_height), 1));
    SetClassAndProcess(x, m_xid);
    SetIcon(x, m_xid, settings.iconResource);
}

HWND X11Window::Handle() const { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(m_xid)); }

// Screen positions count from the primary monitor's top-left corner.
RECT X11Window::Bounds()
{
    POINT root = RootPosition();
    const RootArea& screen = X11Connection::Get().PrimaryMonitor();
    POINT at { m_scale.ProgramPlace(root.x, screen.x), m_scale.ProgramPlace(root.y, screen.y) };
    return RECT { at.x, at.y, at.x + m_width, at.y + m_height };
}

POINT X11Window::RootPosition()
{
    if (m_positionKnown && !m_movedByWindowManager)
        return m_position;
    X11Connection& x = X11Connection::Get();
    // A window manager need not report the moves it makes (weston does
    // not): while it moves the window, and once after, the server is asked.
    if (m_movedByWindowManager && !(x.PointerButtons() & Button1Mask))
        m_movedByWindowManager = false;
    int rootX = 0;
    int rootY = 0;
    ::Window child = 0;
    XTranslateCoordinates(x.Display(), m_xid, x.Root(), 0, 0, &rootX, &rootY, &child);
    m_position = POINT { rootX, rootY };
    m_positionKnown = true;
    return m_position;
}

void X11Window::MoveTo(int x, int y)
{
    const RootArea& screen = X11Connection::Get().PrimaryMonitor();
    long long rootX = static_cast<long long>(m_scale.ToDevice(x)) + screen.x;
    long long rootY = static_cast<long long>(m_scale.ToDevice(y)) + screen.y;
    MoveToRoot(static_cast<int>(std::clamp<long long>(rootX, INT32_MIN, INT32_MAX)),
        static_cast<int>(std::clamp<long long>(rootY, INT32_MIN, INT32_MAX)));
    XFlush(X11Connection::Get().Display());
}

void X11Window::MoveToRoot(int x, int y)
{
    // X positions are 16-bit: beyond, they would wrap round to the other
    // side of the screen. Windows holds such a window at the edge of the
    // range, and so does this.
    x = std::clamp(x, static_cast<int>(INT16_MIN), static_cast<int>(INT16_MAX));
    y = std::clamp(y, static_cast<int>(INT16_MIN), static_cast<int>(INT16_MAX));
    XMoveWindow(X11Connection::Get().Display(), m_xid, x, y);
    // Only the place asked before showing is kept to: any later move is the
    // program's or the user's own.
    m_placeAsked = m_mapped ? std::nullopt : std::optional<POINT>(POINT { x, y });
    // The window is where it was asked to be, as far as the program can
    // tell, until the server or the window manager says otherwise: a window
    // manager moves it in its own time, and a position read back at once
    // must not be the old one.
    m_position = POINT { x, y };
    m_positionKnown = true;
}

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

void X11Window::MoveWithPointer(LPARAM) { x11::MoveWithPointer(*this); }

void X11Window::KeepAbove()
{
    X11Connection& x = X11Connection::Get();
    m_topMost = true;
    // The state tells the window manager, and tools that look, that the
    // window stays above; without one the window raises itself.
    if (m_mapped && !m_overrideRedirect)
        RequestStateAbove(x, m_xid);
    else
        SetStateAbove(x, m_xid);
    if (m_overrideRedirect) {
        XSelectInput(x.Display(), m_xid, FormEvents);
        XRaiseWindow(x.Display(), m_xid);
    }
    XFlush(x.Display());
}

void X11Window::SetShape(HRGN__* region)
{
    m_shape.reset(region);
    ApplyShape();
    XFlush(X11Connection::Get().Display());
}

void X11Window::ApplyShape()
{
    X11Connection& x = X11Connection::Get();
    if (!m_shape) {
        XShapeCombineMask(x.Display(), m_xid, ShapeBounding, 0, 0, None, ShapeSet);
        return;
    }
    std::vector<XRectangle> rectangles
        = m_scale.IsIdentity() ? ClippedRectangles(*m_shape, m_width, m_height) : DeviceShape(*m_shape);
    XShapeCombineRectangles(x.Display(), m_xid, ShapeBounding, 0, 0, rectangles.data(),
        static_cast<int>(rectangles.size()), ShapeSet, Unsorted);
}

// On a scaled screen the shape follows the face's outline at the device's
// resolution: a device pixel shows where the program's region holds its
// program pixel and the picture drawn for the device is not its background
// there, as the region was cut from the program's own picture.
std::vector<XRectangle> X11Window::DeviceShape(const HRGN__& region)
{
    std::vector<PixelBox> boxes;
    for (const RECT& rect : region.rects)
        boxes.push_back(PixelBox { rect.left, rect.top, rect.right, rect.bottom });
    const auto& image = static_cast<const X11Image&>(m_events.ShownImage());
    PixelPlane shown = image.ShownPlane();
    // X rectangles have 16-bit corners.
    shown.width = std::min(shown.width, static_cast<int>(INT16_MAX));
    shown.height = std::min(shown.height, static_cast<int>(INT16_MAX));
    std::vector<XRectangle> rectangles;
    for (const DeviceSpan& span : forms::DeviceShape(boxes, m_width, m_height, m_scale, shown))
        rectangles.push_back(XRectangle { static_cast<short>(span.first), static_cast<short>(span.y),
            static_cast<unsigned short>(span.end - span.first), 1 });
    return rectangles;
}

void X11Window::HandleEvent(XEvent& event)
{
    X11Connection& x = X11Connection::Get();
    switch (event.type) {
    case Expose: {
        const XExposeEvent& expose = event.xexpose;
        PixelEdges area = m_scale.ProgramAreaOf(
            PixelEdges { expose.x, expose.y, expose.x + expose.width, expose.y + expose.height });
        Present(m_events.ShownImage(), RECT { area.left, area.top, area.right, area.bottom });
        break;
    }
    case ButtonPress: Press(event.xbutton); break;
    case VisibilityNotify:
        // Nothing keeps a window without a window manager above others but itself.
        if (m_topMost && m_overrideRedirect && event.xvisibility.state != VisibilityUnobscured)
            XRaiseWindow(x.Display(), m_xid);
        break;
    case ConfigureNotify:
    case ReparentNotify:
        NotePositionEvent(event);
        KeepPlaceAsked();
        break;
    case MapNotify:
        // A window manager shows a window once it has placed it.
        if (m_placeAskedUntil == std::chrono::steady_clock::time_point {})
            m_placeAskedUntil = std::chrono::steady_clock::now() + PlacingTime;
        KeepPlaceAsked();
        break;
    case DestroyNotify:
        // Destroyed from outside: the form goes with its window, as when closed.
        if (event.xdestroywindow.window == m_xid)
            m_events.OnClosed();
        break;
    case ClientMessage:
        // Closed from outside (a taskbar or the window manager): the form
        // goes, and nothing is stored.
        if (event.xclient.message_type == x.Intern("WM_PROTOCOLS")
            && static_cast<Atom>(event.xclient.data.l[0]) == x.Intern("WM_DELETE_WINDOW"))
            m_events.OnClosed();
        break;
    default: break;
    }
}

void X11Window::Press(const XButtonEvent& press)
{
    m_placeAsked.reset(); // from now on the user moves the window
    std::int16_t shift = ShiftStateOf(press.state);
    // The program's pixel under the pointer.
    int x = m_scale.ProgramPixelOf(press.x);
    int y = m_scale.ProgramPixelOf(press.y);
    switch (press.button) {
    case Button1:
        m_leftPressAt = POINT { press.x_root, press.y_root };
        if (IsSecondPress(press))
            m_events.OnDoubleClick();
        else
            m_events.OnMouseDown(MouseButton::Left, shift, x, y);
        break;
    case Button2: m_events.OnMouseDown(MouseButton::Middle, shift, x, y); break;
    case Button3: m_events.OnMouseDown(MouseButton::Right, shift, x, y); break;
    default: break; // the wheel's steps are not presses
    }
}

// True when press is the second press of a double-click; otherwise press
// may start one.
bool X11Window::IsSecondPress(const XButtonEvent& press)
{
    unsigned long interval = X11Connection::Get().DoubleClickTime();
    // Server times are 32-bit milliseconds that wrap round.
    unsigned long elapsed = (press.time - m_lastPress.time) & 0xFFFFFFFFUL;
    bool second = m_lastPress.valid && elapsed <= interval
        && std::abs(press.x_root - m_lastPress.rootX) <= DoubleClickReach
        && std::abs(press.y_root - m_lastPress.rootY) <= DoubleClickReach;
    // A third press starts afresh rather than making a second double-click.
    m_lastPress = second ? LastPress {} : LastPress { press.time, press.x_root, press.y_root, true };
    return second;
}

void X11Window::NotePositionEvent(const XEvent& event)
{
    if (event.type == ReparentNotify) {
        m_reparented = event.xreparent.parent != X11Connection::Get().Root();
        m_positionKnown = false;
        return;
    }
    // A window manager reports moves of its frame in root coordinates with
    // a configure event of its own making; the server's own events give the
    // place within the parent, which is the root unless a frame holds it.
    if (event.xconfigure.send_event || !m_reparented) {
        m_position = POINT { event.xconfigure.x, event.xconfigure.y };
        m_positionKnown = true;
    } else {
        m_positionKnown = false;
    }
}

// Some window managers place a new window by rules of their own (awesome's
// default rules avoid other windows; i3 shifts a floating window by the
// frame it would have had), yet move it where asked afterwards. Shortly
// after the window first shows, a place other than the one asked for is
// asked for once more; a window manager that keeps its own place then
// keeps it.
void X11Window::KeepPlaceAsked()
{
    if (!m_placeAsked || m_overrideRedirect || m_placeAskedUntil == std::chrono::steady_clock::time_point {})
        return;
    if (std::chrono::steady_clock::now() > m_placeAskedUntil) {
        m_placeAsked.reset();
        return;
    }
    POINT asked = *m_placeAsked;
    m_positionKnown = false;
    POINT placed = RootPosition();
    if (placed.x != asked.x || placed.y != asked.y)
        MoveToRoot(asked.x, asked.y); // the window is shown: this forgets the place asked
}

X11Window* LiveWindow(HWND handle) { return WindowOf(static_cast<::Window>(reinterpret_cast<std::uintptr_t>(handle))); }

X11Window* WindowOf(::Window xid)
{
    if (xid == 0)
        return nullptr;
    auto found = Windows().find(xid);
    return found == Windows().end() ? nullptr : found->second;
}

} // namespace forms::x11
