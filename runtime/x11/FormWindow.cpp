#include "FormWindow.h"

#include "Ansi.h"
#include "Failure.h"
#include "Form.h"
#include "GdiObjects.h"
#include "ImageFiles.h"
#include "Resources.h"
#include "XConnection.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace forms::x11 {
namespace {

constexpr long FormEvents
    = ExposureMask | ButtonPressMask | ButtonReleaseMask | VisibilityChangeMask | StructureNotifyMask;

std::unordered_map<::Window, HWND__*>& Windows()
{
    static std::unordered_map<::Window, HWND__*> windows;
    return windows;
}

void SetCardinals(XConnection& x, ::Window window, const char* property, Atom type, const unsigned long* items,
    int count)
{
    XChangeProperty(x.Display(), window, x.Intern(property), type, 32, PropModeReplace,
        reinterpret_cast<const unsigned char*>(items), count);
}

void SetTitle(XConnection& x, ::Window window, const std::wstring& caption)
{
    std::string title = ToAnsi(caption); // UTF-8 on this platform
    XStoreName(x.Display(), window, title.c_str());
    XChangeProperty(x.Display(), window, x.Intern("_NET_WM_NAME"), x.Intern("UTF8_STRING"), 8, PropModeReplace,
        reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
}

// No border and no title bar, whatever the window manager would add.
void SetNoDecorations(XConnection& x, ::Window window)
{
    constexpr unsigned long DecorationsFlag = 2;
    const unsigned long hints[5] = { DecorationsFlag, 0, 0, 0, 0 };
    SetCardinals(x, window, "_MOTIF_WM_HINTS", x.Intern("_MOTIF_WM_HINTS"), hints, 5);
}

// A fixed size at the position the program sets, not where the window
// manager would choose; and no keyboard focus on showing.
void SetPlacementHints(XConnection& x, ::Window window, int width, int height)
{
    XSizeHints size {};
    size.flags = USPosition | PPosition | PMinSize | PMaxSize;
    size.min_width = size.max_width = width;
    size.min_height = size.max_height = height;
    XSetWMNormalHints(x.Display(), window, &size);
    XWMHints hints {};
    hints.flags = InputHint | StateHint;
    hints.input = False;
    hints.initial_state = NormalState;
    XSetWMHints(x.Display(), window, &hints);
}

void SetClassAndProcess(XConnection& x, ::Window window)
{
    char name[] = "peerkin";
    char className[] = "Peerkin";
    XClassHint classHint { name, className };
    XSetClassHint(x.Display(), window, &classHint);
    unsigned long pid = static_cast<unsigned long>(::getpid());
    SetCardinals(x, window, "_NET_WM_PID", XA_CARDINAL, &pid, 1);
    Atom closing = x.Intern("WM_DELETE_WINDOW");
    XSetWMProtocols(x.Display(), window, &closing, 1);
}

// The icon's 32-bit images as the window manager reads them: width, height,
// then the pixels, image after image.
void SetIcon(XConnection& x, ::Window window, int iconResource)
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

void SetStateAbove(XConnection& x, ::Window window)
{
    unsigned long above = x.Intern("_NET_WM_STATE_ABOVE");
    SetCardinals(x, window, "_NET_WM_STATE", XA_ATOM, &above, 1);
}

// Asks the running window manager to keep a shown window above the others.
void RequestStateAbove(XConnection& x, ::Window window)
{
    constexpr long AddState = 1;
    constexpr long SourceIsApplication = 1;
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = x.Intern("_NET_WM_STATE");
    event.xclient.format = 32;
    event.xclient.data.l[0] = AddState;
    event.xclient.data.l[1] = static_cast<long>(x.Intern("_NET_WM_STATE_ABOVE"));
    event.xclient.data.l[3] = SourceIsApplication;
    XSendEvent(x.Display(), x.Root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

} // namespace

HWND CreateFormWindow(Form& form, const FormDefinition& definition, int width, int height)
{
    XConnection& x = XConnection::Get();
    auto* window = new HWND__;
    window->form = &form;
    window->width = std::max(width, 1);
    window->height = std::max(height, 1);
    window->overrideRedirect = !x.HasWindowManager();
    XSetWindowAttributes attributes {};
    attributes.override_redirect = window->overrideRedirect ? True : False;
    attributes.event_mask = FormEvents;
    attributes.background_pixmap = None; // painting covers every pixel: no flicker
    window->xid = XCreateWindow(x.Display(), x.Root(), 0, 0, static_cast<unsigned>(window->width),
        static_cast<unsigned>(window->height), 0, CopyFromParent, InputOutput, CopyFromParent,
        CWOverrideRedirect | CWEventMask | CWBackPixmap, &attributes);
    window->gc = XCreateGC(x.Display(), window->xid, 0, nullptr);
    SetTitle(x, window->xid, definition.caption);
    SetNoDecorations(x, window->xid);
    SetPlacementHints(x, window->xid, window->width, window->height);
    SetClassAndProcess(x, window->xid);
    SetIcon(x, window->xid, definition.iconResource);
    Windows().emplace(window->xid, window);
    return window;
}

void DestroyFormWindow(HWND handle)
{
    HWND__* window = LiveWindow(handle);
    if (!window)
        return;
    Windows().erase(window->xid);
    XFreeGC(XConnection::Get().Display(), window->gc);
    XDestroyWindow(XConnection::Get().Display(), window->xid);
    XFlush(XConnection::Get().Display());
    delete window;
}

HWND__* LiveWindow(HWND handle)
{
    if (!handle)
        return nullptr;
    for (const auto& [xid, window] : Windows()) {
        if (window == handle)
            return window;
    }
    return nullptr;
}

HWND__* WindowOf(::Window xid)
{
    auto found = Windows().find(xid);
    return found == Windows().end() ? nullptr : found->second;
}

void MapFormWindow(HWND__& window)
{
    XConnection& x = XConnection::Get();
    if (!window.mapped)
        XMapRaised(x.Display(), window.xid);
    window.mapped = true;
    XFlush(x.Display());
}

void KeepAbove(HWND__& window)
{
    XConnection& x = XConnection::Get();
    window.topMost = true;
    // The state tells the window manager, and tools that look, that the
    // window stays above; without one the window raises itself.
    if (window.mapped && !window.overrideRedirect)
        RequestStateAbove(x, window.xid);
    else
        SetStateAbove(x, window.xid);
    if (window.overrideRedirect) {
        XSelectInput(x.Display(), window.xid, FormEvents);
        XRaiseWindow(x.Display(), window.xid);
    }
    XFlush(x.Display());
}

POINT RootPosition(HWND__& window)
{
    if (window.positionKnown)
        return window.position;
    XConnection& x = XConnection::Get();
    int rootX = 0;
    int rootY = 0;
    ::Window child = 0;
    XTranslateCoordinates(x.Display(), window.xid, x.Root(), 0, 0, &rootX, &rootY, &child);
    window.position = POINT { rootX, rootY };
    window.positionKnown = true;
    return window.position;
}

void MoveFormWindow(HWND__& window, int x, int y)
{
    // X positions are 16-bit: beyond, they would wrap round to the other
    // side of the screen. Windows holds such a window at the edge of the
    // range, and so does this.
    x = std::clamp(x, static_cast<int>(INT16_MIN), static_cast<int>(INT16_MAX));
    y = std::clamp(y, static_cast<int>(INT16_MIN), static_cast<int>(INT16_MAX));
    XMoveWindow(XConnection::Get().Display(), window.xid, x, y);
    // The window is where it was asked to be, as far as the program can
    // tell, until the server or the window manager says otherwise: a window
    // manager moves it in its own time, and a position read back at once
    // must not be the old one.
    window.position = POINT { x, y };
    window.positionKnown = true;
}

void NotePositionEvent(HWND__& window, const XEvent& event)
{
    if (event.type == ReparentNotify) {
        window.reparented = event.xreparent.parent != XConnection::Get().Root();
        window.positionKnown = false;
        return;
    }
    // A window manager reports moves of its frame in root coordinates with
    // a configure event of its own making; the server's own events give the
    // place within the parent, which is the root unless a frame holds it.
    if (event.xconfigure.send_event || !window.reparented) {
        window.position = POINT { event.xconfigure.x, event.xconfigure.y };
        window.positionKnown = true;
    } else {
        window.positionKnown = false;
    }
}

} // namespace forms::x11
