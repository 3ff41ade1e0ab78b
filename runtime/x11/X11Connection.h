#pragma once
// The program's one connection to the X server, opened on first use, with
// what the rest of the runtime asks of the server and the window manager.

#include "DeviceScale.h"

#include <X11/Xlib.h>

#include <array>
#include <optional>
#include <vector>

namespace forms::x11 {

// A rectangle of the root window.
struct RootArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Where the pointer is on the root window, and its buttons.
struct PointerState {
    int rootX = 0;
    int rootY = 0;
    unsigned int buttons = 0;
};

class X11Connection {
public:
    // The connection; fails with a platform failure when there is no display.
    static X11Connection& Get();
    // True once Get has opened the connection.
    static bool IsOpen();

    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    ::Display* Display() const { return m_display; }
    ::Window Root() const { return m_root; }
    int Screen() const { return m_screen; }
    // The program's screen, as Windows has its primary display: the primary
    // monitor RandR reports, else its first monitor, else the whole root
    // window. Positions count from its top-left corner. Read once.
    const RootArea& PrimaryMonitor();
    int ScreenWidth() { return PrimaryMonitor().width; }
    int ScreenHeight() { return PrimaryMonitor().height; }

    // The atom of name, interned once.
    Atom Intern(const char* name);

    // True while a window manager that follows the desktop conventions runs.
    bool HasWindowManager();
    // True when that window manager offers to move windows for us.
    bool WindowManagerMoves();

    // The items of a window's property of 32-bit items of type, at most
    // maxItems of them; none where it is missing or of another form.
    std::vector<unsigned long> Property32(::Window window, Atom property, Atom type, long maxItems);
    // Sends the window manager a request of the desktop conventions about
    // window, as a client message to the root.
    void AskWindowManager(::Window window, const char* messageType, const std::array<long, 5>& data);

    // One question to the server: where the pointer is and which buttons are
    // down, which PointerButtons then answers; nullopt while the pointer is
    // on another screen.
    std::optional<PointerState> QueryPointer();
    // The pointer's buttons as last read.
    unsigned int PointerButtons() const { return m_pointerButtons; }

    // The desktop's logical dots per inch (its Xft.dpi setting, else 96).
    double DotsPerInch();
    // How the program's pixels, 96 to the inch, map onto the screen's at
    // those dots per inch. Read once: the program keeps its scale.
    const DeviceScale& Scale();
    // The longest time between the presses of a double-click, in ms.
    unsigned long DoubleClickTime();

private:
    X11Connection(::Display* display);
    bool WindowManagerSupports(Atom feature);
    const char* Resource(const char* name);
    RootArea ReadPrimaryMonitor() const;

    ::Display* m_display;
    int m_screen;
    ::Window m_root;
    unsigned int m_pointerButtons = 0;
};

} // namespace forms::x11
