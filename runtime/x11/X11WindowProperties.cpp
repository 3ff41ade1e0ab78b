// What an X11 form window tells the window manager: its title, no
// decorations, its size and placement hints, class, process and icon, and
// the state that keeps it above the others.
#include "X11Window.h"

#include "Ansi.h"
#include "ImageFiles.h"
#include "ProductIdentity.h"
#include "Resources.h"
#include "X11Connection.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace forms::x11 {

using winapi::FindResourceBytes;

namespace {

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

} // namespace

void X11Window::SetProperties(const WindowSettings& settings)
{
    X11Connection& x = X11Connection::Get();
    SetTitle(x, m_xid, settings.caption);
    SetNoDecorations(x, m_xid);
    SetPlacementHints(x, m_xid, std::max(m_scale.ToDevice(m_width), 1), std::max(m_scale.ToDevice(m_height), 1));
    SetClassAndProcess(x, m_xid);
    SetIcon(x, m_xid, settings.iconResource);
}

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

} // namespace forms::x11
