// Moving a form's window with the pointer: handed to the window manager
// where one offers it, otherwise a move loop of our own that keeps timers
// ticking, as the platform's own move loop does.
#include "X11Connection.h"
#include "X11EventLoop.h"
#include "X11Window.h"

#include <cstdlib>

namespace forms::x11 {
namespace {

constexpr long MoveByPointer = 8; // _NET_WM_MOVERESIZE_MOVE
constexpr long SourceIsApplication = 1;

struct PointerState {
    int rootX = 0;
    int rootY = 0;
    unsigned int buttons = 0;
};

PointerState QueryPointer(X11Connection& x)
{
    PointerState state;
    ::Window root = 0;
    ::Window child = 0;
    int windowX = 0;
    int windowY = 0;
    XQueryPointer(x.Display(), x.Root(), &root, &child, &state.rootX, &state.rootY, &windowX, &windowY,
        &state.buttons);
    x.NotePointerButtons(state.buttons);
    return state;
}

void HandToWindowManager(X11Connection& x, X11Window& window, const PointerState& pointer)
{
    XUngrabPointer(x.Display(), CurrentTime);
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window.Xid();
    event.xclient.message_type = x.Intern("_NET_WM_MOVERESIZE");
    event.xclient.format = 32;
    event.xclient.data.l[0] = pointer.rootX;
    event.xclient.data.l[1] = pointer.rootY;
    event.xclient.data.l[2] = MoveByPointer;
    event.xclient.data.l[3] = Button1;
    event.xclient.data.l[4] = SourceIsApplication;
    XSendEvent(x.Display(), x.Root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(x.Display());
}

// How far the pointer goes before a press becomes a drag: as far as on
// Windows. A window manager takes over the pointer for its move, so a
// click handed to it could swallow the second press of a double-click.
constexpr int DragThreshold = 4;

bool BeyondThreshold(const XMotionEvent& motion, const PointerState& start)
{
    return std::abs(motion.x_root - start.rootX) >= DragThreshold
        || std::abs(motion.y_root - start.rootY) >= DragThreshold;
}

// Follows the pointer until the left button comes up, or, with a window
// manager that moves windows, until the pointer has gone far enough to hand
// the move to it; other events and the timers are handled as usual
// meanwhile.
void FollowPointer(X11Connection& x, X11Window& window, const PointerState& start, bool managerMoves)
{
    constexpr unsigned int Watched = ButtonReleaseMask | PointerMotionMask;
    if (XGrabPointer(x.Display(), window.Xid(), False, Watched, GrabModeAsync, GrabModeAsync, None, None, CurrentTime)
        != GrabSuccess)
        return;
    POINT origin = window.RootPosition();
    ::Window moving = window.Xid();
    // Released before the grab took hold: no release will be reported.
    bool ended = !(QueryPointer(x).buttons & Button1Mask);
    SetEventFilter([&](XEvent& event) {
        X11Window* live = WindowOf(moving);
        if (event.xany.window != moving || !live)
            return false;
        if (event.type == MotionNotify) {
            // Only the latest position matters.
            while (XCheckTypedWindowEvent(x.Display(), moving, MotionNotify, &event)) { }
            if (managerMoves && BeyondThreshold(event.xmotion, start)) {
                // Where the press was: the manager moves the window by how
                // far the pointer has gone from there, this first step too.
                HandToWindowManager(x, *live, start);
                live->NoteMovedByWindowManager();
                ended = true;
            } else if (!managerMoves) {
                live->MoveToRoot(origin.x + event.xmotion.x_root - start.rootX,
                    origin.y + event.xmotion.y_root - start.rootY);
            }
            return true;
        }
        if (event.type == ButtonRelease && event.xbutton.button == Button1)
            ended = true;
        return event.type == ButtonRelease;
    });
    PumpUntil([&] { return ended || WindowOf(moving) == nullptr; });
    SetEventFilter(nullptr);
    XUngrabPointer(x.Display(), CurrentTime); // ours only: a window manager's grab stays
    XFlush(x.Display());
}

} // namespace

void MoveWithPointer(X11Window& window)
{
    X11Connection& x = X11Connection::Get();
    PointerState pointer = QueryPointer(x);
    // A click so short that the button is up again already moves nothing.
    if (!(pointer.buttons & Button1Mask))
        return;
    FollowPointer(x, window, pointer, x.WindowManagerMoves());
}

} // namespace forms::x11
