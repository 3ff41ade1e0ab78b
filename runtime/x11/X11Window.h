#pragma once
// A form's window on X11: a borderless top-level X window, the state the
// platform functions keep for it, and the translation of its X events into
// the form's events. Its handle is the X window's id, which the platform
// functions look up; a handle whose window is gone finds nothing. One file
// per job: X11Window.cpp (making it, showing it and what it draws),
// X11WindowProperties.cpp, X11WindowShape.cpp, X11WindowPlacement.cpp,
// X11WindowEvents.cpp and X11WindowRegistry.cpp.

#include "DeviceScale.h"
#include "LayerWindow.h"
#include "Platform.h"

#include <X11/Xlib.h>

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

struct HRGN__;

namespace forms::x11 {

class X11Window final : public PlatformWindow, public winapi::LayerWindow {
public:
    X11Window(const WindowSettings& settings, WindowEvents& events);
    ~X11Window() override;

    HWND Handle() const override;
    RECT Bounds() override;
    PixelSize ClientSize() override { return PixelSize { m_width, m_height }; }
    void MoveTo(int x, int y) override;
    void Show() override;
    void StartTimer(std::size_t index, unsigned interval) override;
    void Present(const OffscreenImage& image, const RECT& area) override;
    void DrawEllipse(const RECT& box, COLORREF pen, std::optional<COLORREF> fill) override;
    COLORREF ScreenPixel(int x, int y) override;

    ::Window Xid() const { return m_xid; }
    bool IsMapped() const { return m_mapped; }
    // Where the window is on the root window, known without asking the
    // server while nothing says otherwise: every tick reads it.
    POINT RootPosition();
    // Moves the window's top-left corner to (x, y) of the root window.
    void MoveToRoot(int x, int y);
    // The window manager moves the window with the pointer from now until
    // the left button is up, and may not say where it went.
    void NoteMovedByWindowManager() { m_movedByWindowManager = true; }
    // Where on the root window the left button last went down on the window.
    POINT LeftPressAt() const { return m_leftPressAt; }
    // Puts the window above every other window, now and, without a window
    // manager, whenever another window covers it.
    void KeepAbove() override;
    void SetShape(HRGN__* region) override;
    // Hands the move to the window manager, or moves the window itself.
    void MoveWithPointer(LPARAM pressedAt) override;
    const HRGN__* Shape() const { return m_shape.get(); }

    // An X event about this window. A close from outside ends in OnClosed,
    // after which the form may have deleted this object.
    void HandleEvent(XEvent& event);
    void Tick(std::size_t index) { m_events.OnTick(index); }

private:
    // The last left press, which a second one may make a double-click.
    struct LastPress {
        Time time = 0;
        int rootX = 0;
        int rootY = 0;
        bool valid = false;
    };
    struct ShapeDeleter {
        void operator()(HRGN__* region) const;
    };

    static constexpr long FormEvents
        = ExposureMask | ButtonPressMask | ButtonReleaseMask | VisibilityChangeMask | StructureNotifyMask;

    void Register();
    void Unregister();
    void SetProperties(const WindowSettings& settings);
    void Copy(const OffscreenImage& image, const RECT& area);
    void Press(const XButtonEvent& press);
    bool IsSecondPress(const XButtonEvent& press);
    void NotePositionEvent(const XEvent& event);
    void NoteMapped();
    void ApplyShape();
    std::vector<XRectangle> DeviceShape(const HRGN__& region);
    void KeepPlaceAsked();

    WindowEvents& m_events;
    ::Window m_xid = 0;
    ::GC m_gc = nullptr; // for copying images to the window
    // The program's pixels shown at the screen's scale: the window's size,
    // place, pointer and presses are the program's, the X window's device
    // pixels.
    DeviceScale m_scale;
    int m_width = 0; // the drawing area in the program's pixels; the X window is at least 1 x 1
    int m_height = 0;
    COLORREF m_backColor = 0;
    HBITMAP m_picture = nullptr;
    bool m_overrideRedirect = false; // no window manager: the window keeps itself above
    bool m_mapped = false;
    bool m_topMost = false;
    bool m_positionKnown = false;
    POINT m_position {};
    std::optional<POINT> m_placeAsked; // where the window was asked to show, while it is new
    std::chrono::steady_clock::time_point m_placeAskedUntil {};
    bool m_reparented = false; // inside a window manager's frame
    bool m_movedByWindowManager = false; // its position is asked until the move is over
    LastPress m_lastPress;
    POINT m_leftPressAt {};
    std::unique_ptr<HRGN__, ShapeDeleter> m_shape;
};

// The window behind a live handle, or null.
X11Window* LiveWindow(HWND handle);
// The window of an X window id, or null.
X11Window* WindowOf(::Window xid);

// Lets the user move window with the pointer while the left button stays
// down; returns when the move has ended or the window manager has taken it.
void MoveWithPointer(X11Window& window);

} // namespace forms::x11
