#pragma once
// What the <windows.h> layer asks of a back-end's windows, so that the
// window functions the program's code calls are written once for every
// back-end without <windows.h>. Each such back-end's window implements it,
// and the back-end tells which window a handle names.

#include <windows.h>

namespace forms::winapi {

class LayerWindow {
public:
    // The window's outer rectangle on the screen, in the program's pixels.
    virtual RECT Bounds() = 0;
    // Moves the window's top-left corner, leaving its size and stacking.
    virtual void MoveTo(int x, int y) = 0;
    // Keeps the window above all others from now on.
    virtual void KeepAbove() = 0;
    // Cuts the window to region (null: no shape), which it owns from now on.
    virtual void SetShape(HRGN__* region) = 0;
    // Moves the window with the pointer while the left button stays down, as
    // Windows does after a press on a title bar (pressedAt as that message
    // carries it); returns when the move is over.
    virtual void MoveWithPointer(LPARAM pressedAt) = 0;

protected:
    ~LayerWindow() = default;
};

// The window of this back-end that handle names, or null for a handle of
// a window that is gone.
LayerWindow* LayerWindowOf(HWND handle);

} // namespace forms::winapi
