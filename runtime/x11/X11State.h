#pragma once
// Everything the X11 back-end keeps between calls, in one object, so that a
// test can start from a fresh one (ResetState).

#include "TimerQueue.h"
#include "X11EventLoop.h"

#include <X11/Xlib.h>

#include <unordered_map>

namespace forms::x11 {

class X11Connection;
class X11Window;
struct DesktopPointer;

struct X11State {
    // Opened on first use (X11Connection::Get), and kept as long as the
    // process: the server's answers it keeps are the display's, not a test's.
    X11Connection* connection = nullptr;
    TimerQueue timers;
    EventFilter filter;
    std::unordered_map<::Window, X11Window*> windows;
    bool quit = false;
    DesktopPointer* pointer = nullptr; // while the event loop runs on a desktop with a helper
    // Moves handed to the window manager go wrong: the program moves its
    // windows itself (GnomeShellHelper.cpp says why).
    bool movesOfItsOwn = false;
};

X11State& State();

// Makes the state fresh but for the connection, as at the start of the
// process. False, changing nothing, while a window lives or the event loop
// runs.
bool ResetState();

} // namespace forms::x11
