// Where an X11 form window is: its place on the root window and in the
// program's pixels, its moves, what the server and the window manager report
// of them, and the place asked kept to while a window manager places the
// new window.
#include "X11Window.h"

#include "X11Connection.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace forms::x11 {
namespace {

// How long after a window first shows its window manager may still be
// placing it.
constexpr std::chrono::milliseconds PlacingTime { 1000 };

} // namespace

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

void X11Window::MoveWithPointer(LPARAM) { x11::MoveWithPointer(*this); }

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

// A window manager shows a window once it has placed it.
void X11Window::NoteMapped()
{
    if (m_placeAskedUntil == std::chrono::steady_clock::time_point {})
        m_placeAskedUntil = std::chrono::steady_clock::now() + PlacingTime;
    KeepPlaceAsked();
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

} // namespace forms::x11
