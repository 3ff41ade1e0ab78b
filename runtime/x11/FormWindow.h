#pragma once
// What a window handle stands for on X11: a form's top-level X window and
// the state the platform functions keep for it.

#include "windows.h"

#include <X11/Xlib.h>

#include <memory>

namespace forms {
class Form;
struct FormDefinition;
}
struct HRGN__;

struct HWND__ {
    ::Window xid = 0;
    ::GC gc = nullptr; // for copying the form's image to the window
    forms::Form* form = nullptr;
    int width = 0;
    int height = 0;
    bool overrideRedirect = false; // no window manager: the window keeps itself above
    bool mapped = false;
    bool topMost = false;
    // Where the window is on the root window, while known without asking
    // the server: every tick reads it.
    bool positionKnown = false;
    POINT position {};
    bool reparented = false; // inside a window manager's frame

    std::unique_ptr<HRGN__, void (*)(HRGN__*)> shape { nullptr, nullptr }; // taken over by SetWindowRgn
};

namespace forms::x11 {

// A new hidden, borderless top-level window of width x height for form,
// with the caption and icon of its definition.
HWND CreateFormWindow(Form& form, const FormDefinition& definition, int width, int height);
// Destroys window and forgets its handle.
void DestroyFormWindow(HWND window);

// The window behind a live handle, or null (also for the X window id).
HWND__* LiveWindow(HWND handle);
HWND__* WindowOf(::Window xid);

// Shows window without taking the keyboard focus from anyone.
void MapFormWindow(HWND__& window);
// Puts window above every other window, now and, without a window
// manager, whenever another window covers it.
void KeepAbove(HWND__& window);
// The window's position in root-window coordinates.
POINT RootPosition(HWND__& window);
// Moves window to (x, y) on the root window.
void MoveFormWindow(HWND__& window, int x, int y);
// Notes what a configure or reparent event of window says of its position.
void NotePositionEvent(HWND__& window, const XEvent& event);

// Lets the user move window with the pointer while the left button stays
// down; returns when the move has ended or the window manager has taken it.
void MoveWithPointer(HWND__& window);

} // namespace forms::x11
