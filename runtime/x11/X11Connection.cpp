#include "X11Connection.h"

#include "Failure.h"
#include "ProductIdentity.h"
#include "X11State.h"

#include <X11/Xatom.h>
#include <X11/Xresource.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>

namespace forms::x11 {
namespace {

constexpr double DefaultDotsPerInch = 96.0;
constexpr unsigned long DefaultDoubleClickTime = 500; // the usual desktop default

// X reports a failed request through this handler; the default one ends the
// process. A request about a window that has just gone is harmless here.
int IgnoreRequestError(::Display*, XErrorEvent*) { return 0; }

// A number from a resource text, or fallback when there is none.
double NumberOr(const char* text, double fallback)
{
    if (!text)
        return fallback;
    char* end = nullptr;
    double value = std::strtod(text, &end);
    return (end != text && value > 0 && value < 100000) ? value : fallback;
}

// The first 32-bit item of a window property, or 0.
unsigned long FirstItem(X11Connection& x, ::Window window, Atom property, Atom type)
{
    std::vector<unsigned long> items = x.Property32(window, property, type, 1);
    return items.empty() ? 0 : items.front();
}

} // namespace

X11Connection& X11Connection::Get()
{
    X11Connection*& connection = State().connection;
    if (!connection) {
        ::Display* display = XOpenDisplay(nullptr);
        if (!display)
            throw RuntimeFailure(FailureCode::PlatformCallFailed,
                std::string("Cannot open the X display \"") + XDisplayName(nullptr) + "\"");
        XSetErrorHandler(IgnoreRequestError);
        connection = new X11Connection(display); // lives as long as the process
    }
    return *connection;
}

bool X11Connection::IsOpen() { return State().connection != nullptr; }

X11Connection::X11Connection(::Display* display)
    : m_display(display)
    , m_screen(DefaultScreen(display))
    , m_root(RootWindow(display, DefaultScreen(display)))
{
}

const RootArea& X11Connection::PrimaryMonitor()
{
    static const RootArea primary = ReadPrimaryMonitor();
    return primary;
}

RootArea X11Connection::ReadPrimaryMonitor() const
{
    RootArea area { 0, 0, DisplayWidth(m_display, m_screen), DisplayHeight(m_display, m_screen) };
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    // Monitors came with RandR 1.5.
    if (!XRRQueryExtension(m_display, &eventBase, &errorBase) || !XRRQueryVersion(m_display, &major, &minor)
        || major * 100 + minor < 105)
        return area;
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(m_display, m_root, True, &count);
    if (monitors && count > 0) {
        const XRRMonitorInfo* chosen = std::find_if(monitors, monitors + count, [](const XRRMonitorInfo& m) {
            return m.primary;
        });
        if (chosen == monitors + count)
            chosen = monitors;
        area = RootArea { chosen->x, chosen->y, chosen->width, chosen->height };
    }
    if (monitors)
        XRRFreeMonitors(monitors);
    return area;
}

Atom X11Connection::Intern(const char* name)
{
    static std::map<std::string, Atom> atoms;
    auto found = atoms.find(name);
    if (found != atoms.end())
        return found->second;
    Atom atom = XInternAtom(m_display, name, False);
    atoms.emplace(name, atom);
    return atom;
}

bool X11Connection::HasWindowManager()
{
    // A conforming window manager names a child window of its own on the
    // root, and the same window names itself.
    Atom check = Intern("_NET_SUPPORTING_WM_CHECK");
    ::Window child = FirstItem(*this, m_root, check, XA_WINDOW);
    return child != 0 && FirstItem(*this, child, check, XA_WINDOW) == child;
}

bool X11Connection::WindowManagerMoves()
{
    return HasWindowManager() && WindowManagerSupports(Intern("_NET_WM_MOVERESIZE"));
}

bool X11Connection::WindowManagerSupports(Atom feature)
{
    std::vector<unsigned long> supported = Property32(m_root, Intern("_NET_SUPPORTED"), XA_ATOM, 4096);
    return std::find(supported.begin(), supported.end(), feature) != supported.end();
}

std::vector<unsigned long> X11Connection::Property32(::Window window, Atom property, Atom type, long maxItems)
{
    Atom actualType = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> items;
    // Xlib hands 32-bit items over as longs, whatever the size of a long.
    if (XGetWindowProperty(m_display, window, property, 0, maxItems, False, type, &actualType, &format, &count,
            &remaining, &data)
            == Success
        && data && format == 32)
        items.assign(reinterpret_cast<unsigned long*>(data), reinterpret_cast<unsigned long*>(data) + count);
    if (data)
        XFree(data);
    return items;
}

void X11Connection::AskWindowManager(::Window window, const char* messageType, const std::array<long, 5>& data)
{
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = Intern(messageType);
    event.xclient.format = 32;
    std::copy(data.begin(), data.end(), event.xclient.data.l);
    XSendEvent(m_display, m_root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

std::optional<PointerState> X11Connection::QueryPointer()
{
    PointerState state;
    ::Window root = 0;
    ::Window child = 0;
    int windowX = 0;
    int windowY = 0;
    if (!XQueryPointer(m_display, m_root, &root, &child, &state.rootX, &state.rootY, &windowX, &windowY,
            &state.buttons))
        return std::nullopt;
    m_pointerButtons = state.buttons;
    return state;
}

const char* X11Connection::Resource(const char* name)
{
    static XrmDatabase database = [this] {
        XrmInitialize();
        const char* text = XResourceManagerString(m_display);
        return text ? XrmGetStringDatabase(text) : nullptr;
    }();
    if (!database)
        return nullptr;
    char* type = nullptr;
    XrmValue value {};
    if (!XrmGetResource(database, name, name, &type, &value) || !value.addr)
        return nullptr;
    return value.addr;
}

double X11Connection::DotsPerInch() { return NumberOr(Resource("Xft.dpi"), DefaultDotsPerInch); }

const DeviceScale& X11Connection::Scale()
{
    static const DeviceScale scale = DeviceScale::OfDotsPerInch(DotsPerInch());
    return scale;
}

unsigned long X11Connection::DoubleClickTime()
{
    std::string name = std::string(product::ShortName) + ".multiClickTime";
    double time = NumberOr(Resource(name.c_str()), static_cast<double>(DefaultDoubleClickTime));
    return static_cast<unsigned long>(time);
}

} // namespace forms::x11
