#include "X11FailureWindow.h"

#include "Failure.h"
#include "X11Connection.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <vector>

namespace forms::x11 {
namespace {

constexpr int Margin = 16;
constexpr int LineHeight = 16;
constexpr int CharacterWidth = 7; // of the server's "fixed" font, roughly

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    lines.push_back("");
    lines.push_back("Click to close.");
    return lines;
}

::Window CreateBox(X11Connection& x, const std::string& title, int width, int height)
{
    ::Display* display = x.Display();
    const RootArea& screen = x.PrimaryMonitor();
    ::Window box = XCreateSimpleWindow(display, x.Root(), screen.x + (screen.width - width) / 2,
        screen.y + (screen.height - height) / 2, static_cast<unsigned>(width), static_cast<unsigned>(height), 1,
        BlackPixel(display, x.Screen()), WhitePixel(display, x.Screen()));
    XStoreName(display, box, title.c_str());
    unsigned long above = x.Intern("_NET_WM_STATE_ABOVE");
    XChangeProperty(display, box, x.Intern("_NET_WM_STATE"), XA_ATOM, 32, PropModeReplace,
        reinterpret_cast<unsigned char*>(&above), 1);
    Atom closing = x.Intern("WM_DELETE_WINDOW");
    XSetWMProtocols(display, box, &closing, 1);
    XSelectInput(display, box, ExposureMask | ButtonPressMask | KeyPressMask);
    XMapRaised(display, box);
    return box;
}

void Draw(X11Connection& x, ::Window box, const std::vector<std::string>& lines)
{
    ::GC gc = DefaultGC(x.Display(), x.Screen());
    for (std::size_t i = 0; i < lines.size(); ++i)
        XDrawString(x.Display(), box, gc, Margin, Margin + LineHeight * static_cast<int>(i + 1), lines[i].c_str(),
            static_cast<int>(lines[i].size()));
}

// The box's next event: an exposure, a press, or the window manager's
// request to close it, which comes as a client message that no event mask
// selects.
XEvent NextEventOf(::Display* display, ::Window box)
{
    auto ofTheBox = [](::Display*, XEvent* event, XPointer boxId) -> Bool {
        if (event->xany.window != *reinterpret_cast<::Window*>(boxId))
            return False;
        int type = event->type;
        return type == Expose || type == ButtonPress || type == KeyPress || type == ClientMessage;
    };
    XEvent event;
    XIfEvent(display, &event, ofTheBox, reinterpret_cast<XPointer>(&box));
    return event;
}

} // namespace

void ShowFailureWindow(const std::string& title, const std::string& message)
{
    try {
        X11Connection& x = X11Connection::Get();
        std::vector<std::string> lines = Lines(message);
        std::size_t longest = 0;
        for (const std::string& line : lines)
            longest = std::max(longest, line.size());
        int width = std::clamp(static_cast<int>(longest) * CharacterWidth + 2 * Margin, 240, x.ScreenWidth());
        int height = static_cast<int>(lines.size()) * LineHeight + 2 * Margin;
        ::Window box = CreateBox(x, title, width, height);
        for (XEvent event = NextEventOf(x.Display(), box); event.type == Expose; event = NextEventOf(x.Display(), box))
            Draw(x, box, lines);
        XDestroyWindow(x.Display(), box);
    } catch (const RuntimeFailure&) {
        // No display: the message went to the standard error stream only.
    }
}

} // namespace forms::x11
