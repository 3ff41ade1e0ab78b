#pragma once
// Mouse input for tests, delivered to a form's window as the platform
// reports it, and a watch on what the program then asks of the platform.

#include <windows.h>

#include <vector>

namespace peerkin::test {

enum class Button { Left, Right, Middle };

// What is held down during a press besides the button pressed.
enum Held : unsigned {
    Nothing = 0,
    ShiftKey = 1,
    ControlKey = 2,
    LeftButtonHeld = 4,
    RightButtonHeld = 8,
};

// A press of button at (x, y) of window's drawing area. Presses delivered
// one after another are never close enough in time to make a double-click.
void DeliverPress(HWND window, Button button, POINT at, unsigned held = Nothing);
// A double-click of button at (x, y) of window's drawing area: on Windows
// the double-click message alone (the first press of a real double-click is
// an ordinary press, left out here); on X11, which reports presses only,
// two presses close together in time and place.
void DeliverDoubleClick(HWND window, Button button, POINT at);

// Gives window the pointer capture, as a press on it does.
void CapturePointer(HWND window);
// True while window has the pointer capture (on X11, while this program
// holds the pointer: X does not tell another client which window does).
bool HoldsPointer(HWND window);

// One hand-over of the window to the platform's own move, the way a press
// on a title bar starts it: the message's hit-test code and position, and
// whether the window still held the pointer capture then.
struct HandOver {
    WPARAM hitTest = 0;
    LPARAM position = -1;
    bool pointerHeld = false;
};

// Records every hand-over of window while the watch lives; one watch at a
// time. On Windows the
// title-bar press is swallowed, so the platform's move loop, which would
// wait for a real button release, never starts; on X11 the platform's move
// still runs, and ends at once since no real button is down.
class DragWatch {
public:
    explicit DragWatch(HWND window);
    ~DragWatch();
    DragWatch(const DragWatch&) = delete;
    DragWatch& operator=(const DragWatch&) = delete;

    HWND Window() const { return m_window; }
    const std::vector<HandOver>& HandOvers() const { return m_handOvers; }
    void Record(const HandOver& handOver) { m_handOvers.push_back(handOver); }

private:
    HWND m_window;
    std::vector<HandOver> m_handOvers;
};

} // namespace peerkin::test
