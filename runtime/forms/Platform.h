#pragma once
// The seam between the forms runtime and the platform under it. Everything
// the shared code in this folder needs of a platform is declared here: a
// back-end (runtime/win32, runtime/x11) implements all of it once, and a
// program links exactly one back-end. A back-end also implements the two
// text conversions of Ansi.h, and provides the platform functions that the
// program's own code calls by their Windows names (<windows.h>).
//
// Coordinates are pixels: a window's drawing area from its top-left corner,
// positions on the screen from the screen's top-left corner.

#include "Ansi.h"
#include "OffscreenImage.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace forms {

// What a form's window reports to its form, always on the user-interface
// thread, from the back-end's event dispatch.
class WindowEvents {
public:
    // Timer index, as started with PlatformWindow::StartTimer, is due.
    virtual void OnTick(std::size_t index) = 0;
    // A mouse button (MouseButton) went down at (x, y) of the drawing area,
    // with the modifier keys shift (ShiftState) held.
    virtual void OnMouseDown(std::int16_t button, std::int16_t shift, int x, int y) = 0;
    virtual void OnDoubleClick() = 0;
    // The window was closed or destroyed from outside the program (a
    // taskbar, the window manager); the form unloads.
    virtual void OnClosed() = 0;
    // The image the window shows wherever it needs painting.
    virtual const OffscreenImage& ShownImage() = 0;

protected:
    ~WindowEvents() = default;
};

// How a form's window starts: hidden, without border or title bar.
struct WindowSettings {
    std::wstring caption;
    int width = 0; // pixels; the whole window is the drawing area
    int height = 0;
    int iconResource = 0; // 0 for none
    bool showInTaskbar = true;
    // What the window shows where nothing has been drawn.
    COLORREF backColor = 0;
    HBITMAP picture = nullptr; // the form's own; may be null
    int pictureResource = 0; // the resource picture was loaded from, or 0
};

struct PixelSize {
    int width = 0;
    int height = 0;
};

// A form's top-level window. Destroying the object destroys the window and
// its timers, without an OnClosed.
class PlatformWindow {
public:
    virtual ~PlatformWindow() = default;
    PlatformWindow(const PlatformWindow&) = delete;
    PlatformWindow& operator=(const PlatformWindow&) = delete;

    // The handle the program's platform functions take.
    virtual HWND Handle() const = 0;
    // The window's outer rectangle on the screen.
    virtual RECT Bounds() = 0;
    // The size of the drawing area.
    virtual PixelSize ClientSize() = 0;
    // Moves the window's top-left corner, leaving its size and stacking.
    virtual void MoveTo(int x, int y) = 0;
    // Makes the window visible without taking the keyboard focus.
    virtual void Show() = 0;
    // (Re)starts timer index: it ticks every interval ms, the first time a
    // whole interval from now.
    virtual void StartTimer(std::size_t index, unsigned interval) = 0;
    // Puts area of image, which this back-end made, on the screen.
    virtual void Present(const OffscreenImage& image, const RECT& area) = 0;
    // Draws an ellipse straight onto the window, where it stays until that
    // part is painted again (a form without persistent drawing).
    virtual void DrawEllipse(const RECT& box, COLORREF pen, std::optional<COLORREF> fill) = 0;
    // The colour the window shows at (x, y) of its drawing area, or
    // CLR_INVALID outside it.
    virtual COLORREF ScreenPixel(int x, int y) = 0;

protected:
    PlatformWindow() = default;
};

namespace platform {

// The process. Connect comes first: false when the program cannot show
// anything (no display), after telling the user why.
bool Connect();
// Claims the program's single-instance marker for the life of the
// process; true when another running instance of programName holds it.
bool AnotherInstanceRuns(const std::wstring& programName);
// The folder that holds the executable, without a closing separator
// except at a root; its file name without folder (and without extension
// where the platform's programs have one).
std::wstring ProgramFolder();
std::wstring ProgramName();
// The argument text after the program's own name; may be empty.
std::wstring CommandArguments();
// The user's decimal separator.
wchar_t DecimalSeparator();

// The screen the program's positions count on, and its dots per inch.
PixelSize ScreenSize();
double DotsPerInchX();
double DotsPerInchY();

// Dispatches events and timers until QuitEventLoop; returns the exit code.
int RunEventLoop();
void QuitEventLoop();

// Shows message under title above every other window; returns once the
// user has closed it.
void ShowFailureBox(const std::wstring& title, const std::wstring& message);
// Ends the process at once with exit code 0.
[[noreturn]] void ExitAtOnce();

// A hidden window for a form, reporting to events; null when the platform
// cannot make one.
std::unique_ptr<PlatformWindow> CreateFormWindow(const WindowSettings& settings, WindowEvents& events);
// An image of width x height pixels in background, with picture (may be
// null) drawn from the top-left corner at its own size.
std::unique_ptr<OffscreenImage> CreateOffscreenImage(int width, int height, COLORREF background, HBITMAP picture);

// Where a program file carries no resources (everywhere but Windows, whose
// resource compiler puts them into the program): makes the bytes of a
// picture or icon file built into the program known as resource id of type
// (IMAGE_BITMAP, IMAGE_ICON). Returns true, so that the file that builds
// them in can register them from a static initialiser.
bool RegisterEmbeddedResource(int id, UINT type, const unsigned char* bytes, std::size_t size);
// The same, for picture id drawn for a screen of scale device pixels to the
// program's pixel, which such a screen shows in place of an enlargement.
bool RegisterEmbeddedScaledPicture(int id, double scale, const unsigned char* bytes, std::size_t size);

} // namespace platform
} // namespace forms
