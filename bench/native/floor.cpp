// The native program's floor: a bare Xlib program with the figure's window
// (193 x 279 pixels, top centre, no window manager's frame) and its 70 ms
// tick. Each tick reads the pointer and draws the two red discs and two
// black pupils with the X server's own arcs into a back-buffer pixmap, then
// copies the eyes' box to the window, whether anything changed or not.
// Exposure repaints from the pixmap. Nothing else: no picture, no shape, no
// runtime.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <chrono>
#include <cmath>

namespace {

constexpr int Width = 193;
constexpr int Height = 279;
constexpr int TickMilliseconds = 70;
constexpr double EyeY = 118;
constexpr double EyeXs[] = { 52, 138 };
constexpr double EyeRadius = 17.8;
constexpr double PupilRadius = 7.0;
constexpr double PupilOffset = 10.0;
constexpr unsigned long Red = 0xFF0000;
constexpr unsigned long Black = 0x000000;
constexpr unsigned long White = 0xFFFFFF;

struct Floor {
    Display* display;
    Window window;
    Pixmap buffer;
    GC gc;
    int left;
    int top;
};

void FillCircle(const Floor& floor, double x, double y, double radius, unsigned long colour)
{
    XSetForeground(floor.display, floor.gc, colour);
    int diameter = static_cast<int>(std::lround(2 * radius)) + 1;
    XFillArc(floor.display, floor.buffer, floor.gc, static_cast<int>(std::lround(x - radius)),
        static_cast<int>(std::lround(y - radius)), static_cast<unsigned>(diameter), static_cast<unsigned>(diameter), 0,
        360 * 64);
}

void Tick(const Floor& floor)
{
    Window root = 0;
    Window child = 0;
    int pointerX = 0;
    int pointerY = 0;
    int windowX = 0;
    int windowY = 0;
    unsigned int buttons = 0;
    XQueryPointer(floor.display, DefaultRootWindow(floor.display), &root, &child, &pointerX, &pointerY, &windowX,
        &windowY, &buttons);
    for (double eyeX : EyeXs) {
        double towardX = pointerX - (floor.left + eyeX);
        double towardY = pointerY - (floor.top + EyeY);
        double distance = std::sqrt(towardX * towardX + towardY * towardY);
        distance = distance == 0 ? 1 : distance;
        FillCircle(floor, eyeX, EyeY, EyeRadius, Red);
        FillCircle(floor, eyeX + PupilOffset * towardX / distance, EyeY + PupilOffset * towardY / distance,
            PupilRadius, Black);
    }
    int boxLeft = static_cast<int>(EyeXs[0] - EyeRadius) - 1;
    int boxTop = static_cast<int>(EyeY - EyeRadius) - 1;
    auto boxWidth = static_cast<unsigned>(EyeXs[1] - EyeXs[0] + 2 * EyeRadius + 3);
    auto boxHeight = static_cast<unsigned>(2 * EyeRadius + 3);
    XCopyArea(floor.display, floor.buffer, floor.window, floor.gc, boxLeft, boxTop, boxWidth, boxHeight, boxLeft,
        boxTop);
    XFlush(floor.display);
}

Floor Open(Display* display)
{
    int screen = DefaultScreen(display);
    Floor floor { display, 0, 0, nullptr, (DisplayWidth(display, screen) - Width) / 2, 0 };
    XSetWindowAttributes attributes {};
    attributes.override_redirect = True;
    attributes.event_mask = ExposureMask;
    attributes.background_pixmap = None;
    floor.window = XCreateWindow(display, RootWindow(display, screen), floor.left, floor.top, Width, Height, 0,
        CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect | CWEventMask | CWBackPixmap, &attributes);
    XStoreName(display, floor.window, "floor");
    floor.buffer = XCreatePixmap(display, floor.window, Width, Height,
        static_cast<unsigned>(DefaultDepth(display, screen)));
    floor.gc = XCreateGC(display, floor.window, 0, nullptr);
    XSetForeground(display, floor.gc, White);
    XFillRectangle(display, floor.buffer, floor.gc, 0, 0, Width, Height);
    XMapRaised(display, floor.window);
    return floor;
}

} // namespace

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 1;
    Floor floor = Open(display);
    using Clock = std::chrono::steady_clock;
    auto due = Clock::now() + std::chrono::milliseconds(TickMilliseconds);
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == Expose)
                XCopyArea(display, floor.buffer, floor.window, floor.gc, event.xexpose.x, event.xexpose.y,
                    static_cast<unsigned>(event.xexpose.width), static_cast<unsigned>(event.xexpose.height),
                    event.xexpose.x, event.xexpose.y);
        }
        auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now()).count();
        pollfd connection { ConnectionNumber(display), POLLIN, 0 };
        if (wait > 0 && ::poll(&connection, 1, static_cast<int>(wait)) > 0)
            continue;
        Tick(floor);
        due += std::chrono::milliseconds(TickMilliseconds);
        if (due < Clock::now())
            due = Clock::now() + std::chrono::milliseconds(TickMilliseconds);
    }
}
