// Moving a form's window with the pointer: handed to the window manager
// where one offers it and takes it safely, otherwise a move loop of our own
// that keeps timers ticking, as the platform's own move loop does. A window manager that is
// asked but does not take the move leaves it to the loop of our own.
#include "X11Connection.h"
#include "X11EventLoop.h"
#include "X11State.h"
#include "X11Window.h"

#include <X11/Xatom.h>

#include <chrono>
#include <cstdlib>

namespace forms::x11 {
namespace {

using Clock = std::chrono::steady_clock;

constexpr long MoveByPointer = 8; // _NET_WM_MOVERESIZE_MOVE
constexpr long SourceIsApplication = 1;
constexpr unsigned int Watched = ButtonReleaseMask | PointerMotionMask;

// How long a window manager that was handed the move has to take the
// pointer or move the window before the program moves the window itself.
// Window managers that take it do so within a few milliseconds.
constexpr std::chrono::milliseconds TakeOverTime { 250 };
constexpr int WatchEvery = 25; // ms

// How far the pointer goes before a press becomes a drag: as far as on
// Windows. A window manager takes over the pointer for its move, so a
// click handed to it could swallow the second press of a double-click.
constexpr int DragThreshold = 4;

// Where the pointer is; a pointer on another screen holds no button here.
PointerState QueryPointer(X11Connection& x) { return x.QueryPointer().value_or(PointerState {}); }

int GrabPointer(X11Connection& x, ::Window window)
{
    return XGrabPointer(x.Display(), window, False, Watched, GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
}

// Records the user's latest activity in the window. Besides telling the
// window manager, its change is an event with a server time later than the
// program's own grab of the pointer: xfwm4 grabs the pointer for a move with
// the time of the last event it saw, and a grab dated before ours fails.
void NoteUserTime(X11Connection& x, ::Window window, Time time)
{
    unsigned long value = time;
    XChangeProperty(x.Display(), window, x.Intern("_NET_WM_USER_TIME"), XA_CARDINAL, 32, PropModeReplace,
        reinterpret_cast<const unsigned char*>(&value), 1);
}

void HandToWindowManager(X11Connection& x, ::Window window, const PointerState& pointer)
{
    XUngrabPointer(x.Display(), CurrentTime);
    x.AskWindowManager(
        window, "_NET_WM_MOVERESIZE", { pointer.rootX, pointer.rootY, MoveByPointer, Button1, SourceIsApplication });
    XFlush(x.Display());
}

bool BeyondThreshold(const XMotionEvent& motion, const PointerState& start)
{
    return std::abs(motion.x_root - start.rootX) >= DragThreshold
        || std::abs(motion.y_root - start.rootY) >= DragThreshold;
}

bool operator!=(const POINT& a, const POINT& b) { return a.x != b.x || a.y != b.y; }

// One drag of a window: the program follows the pointer until the left
// button comes up, or, with a window manager that moves windows, until the
// pointer has gone far enough to hand the move to it; other events and the
// timers are handled as usual meanwhile.
class PointerMove {
public:
    PointerMove(X11Connection& x, X11Window& window, const PointerState& start, bool managerMoves)
        : m_x(x)
        , m_moving(window.Xid())
        , m_start(start)
        , m_origin(window.RootPosition())
        , m_managerMoves(managerMoves)
    {
    }
    // The event filter it sets while it runs points at it.
    PointerMove(const PointerMove&) = delete;
    PointerMove& operator=(const PointerMove&) = delete;

    void Run()
    {
        if (GrabPointer(m_x, m_moving) != GrabSuccess)
            return;
        // Released before the grab took hold: no release will be reported.
        if (!(QueryPointer(m_x).buttons & Button1Mask)) {
            End();
            return;
        }
        SetEventFilter([this](XEvent& event) { return Filter(event); });
        // Watching a window manager needs no event: the check comes round
        // by itself.
        PumpUntil([this] { return IsOver(); }, WatchEvery);
        SetEventFilter(nullptr);
        End();
    }

private:
    enum class Phase { Following, HandedOver, Over };

    void End()
    {
        XUngrabPointer(m_x.Display(), CurrentTime); // ours only: a window manager's grab stays
        XFlush(m_x.Display());
    }

    bool Filter(XEvent& event)
    {
        if (event.xany.window != m_moving || !WindowOf(m_moving))
            return false;
        if (event.type == MotionNotify) {
            // Only the latest position matters.
            while (XCheckTypedWindowEvent(m_x.Display(), m_moving, MotionNotify, &event)) { }
            if (m_phase == Phase::Following)
                Follow(event.xmotion);
            return true;
        }
        if (event.type == ButtonRelease && event.xbutton.button == Button1) {
            // Where the hand let go, even if no motion came after the grab.
            if (m_phase == Phase::Following && !m_managerMoves)
                MoveBy(event.xbutton.x_root - m_start.rootX, event.xbutton.y_root - m_start.rootY);
            m_phase = Phase::Over;
        }
        return event.type == ButtonRelease;
    }

    void Follow(const XMotionEvent& motion)
    {
        if (!m_managerMoves) {
            MoveBy(motion.x_root - m_start.rootX, motion.y_root - m_start.rootY);
        } else if (BeyondThreshold(motion, m_start)) {
            NoteUserTime(m_x, m_moving, motion.time);
            // Where the press was: the manager moves the window by how far
            // the pointer has gone from there, this first step too.
            HandToWindowManager(m_x, m_moving, m_start);
            WindowOf(m_moving)->NoteMovedByWindowManager();
            m_phase = Phase::HandedOver;
            m_handedOverAt = Clock::now();
        }
    }

    void MoveBy(int dx, int dy) { WindowOf(m_moving)->MoveToRoot(m_origin.x + dx, m_origin.y + dy); }

    bool IsOver()
    {
        if (!WindowOf(m_moving))
            return true;
        if (m_phase == Phase::HandedOver)
            WatchWindowManager();
        else if (m_tookOver && !(QueryPointer(m_x).buttons & Button1Mask))
            m_phase = Phase::Over; // a release the window manager's move may have kept from us
        return m_phase == Phase::Over;
    }

    // The move is the window manager's once it has moved the window or
    // holds the pointer; if neither happens soon, it is the program's.
    void WatchWindowManager()
    {
        if (WindowOf(m_moving)->RootPosition() != m_origin || !(QueryPointer(m_x).buttons & Button1Mask)) {
            m_phase = Phase::Over;
        } else if (Clock::now() - m_handedOverAt >= TakeOverTime) {
            if (GrabPointer(m_x, m_moving) != GrabSuccess) {
                m_phase = Phase::Over; // the window manager holds the pointer
                return;
            }
            // Asked once the grab holds, so that no step of the pointer is
            // missed; a release just before it will not be reported.
            PointerState pointer = QueryPointer(m_x);
            m_managerMoves = false;
            m_tookOver = true;
            m_phase = (pointer.buttons & Button1Mask) ? Phase::Following : Phase::Over;
            MoveBy(pointer.rootX - m_start.rootX, pointer.rootY - m_start.rootY);
        }
    }

    X11Connection& m_x;
    ::Window m_moving;
    PointerState m_start;
    POINT m_origin;
    bool m_managerMoves;
    bool m_tookOver = false; // from a window manager that did not take the move
    Phase m_phase = Phase::Following;
    Clock::time_point m_handedOverAt {};
};

} // namespace

void MoveWithPointer(X11Window& window)
{
    X11Connection& x = X11Connection::Get();
    PointerState pointer = QueryPointer(x);
    // A click so short that the button is up again already moves nothing.
    if (!(pointer.buttons & Button1Mask))
        return;
    // The drag counts from the press, not from where the pointer is by now:
    // a hand that moves on at once must not lose its first step.
    POINT press = window.LeftPressAt();
    bool managerMoves = x.WindowManagerMoves() && !State().movesOfItsOwn;
    PointerMove(x, window, PointerState { press.x, press.y, pointer.buttons }, managerMoves).Run();
}

} // namespace forms::x11
