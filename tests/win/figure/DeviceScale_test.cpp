// The figure on Windows at another screen scale: its handlers see the screen
// as a program unaware of the scale does, and moved onto a monitor of
// another scale it is drawn and cut again for that scale, at the device's
// resolution. (Wine has one scale for all monitors: the move is the message
// Windows sends.)
#include "FigureWindowTest.h"
#include "ScaledPictures.h"
#include "res/resource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

namespace {

using peerkin::test::FigureWindow;
using peerkin::test::WindowRegionRects;

template <typename Function>
Function User32(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32"), name)));
}

bool IsUnaware(DPI_AWARENESS_CONTEXT context)
{
    auto equal = User32<BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT, DPI_AWARENESS_CONTEXT)>("AreDpiAwarenessContextsEqual");
    return equal(context, DPI_AWARENESS_CONTEXT_UNAWARE) != FALSE;
}

class ContextProbe : public forms::Form {
public:
    ContextProbe()
        : forms::Form(forms::FormDefinition {})
    {
    }
    bool unawareInTick = false;
    forms::Timer tick { *this, 1000, [this] {
                           auto thread = User32<DPI_AWARENESS_CONTEXT(WINAPI*)()>("GetThreadDpiAwarenessContext");
                           unawareInTick = IsUnaware(thread());
                       } };
};

TEST(DeviceScale, HandlersRunUnawareOfTheScaleInAWindowThatIsAware)
{
    auto windowContext = User32<DPI_AWARENESS_CONTEXT(WINAPI*)(HWND)>("GetWindowDpiAwarenessContext");
    if (!windowContext || !User32<void*>("SetThreadDpiAwarenessContext"))
        GTEST_SKIP() << "this system has no thread DPI contexts";
    ContextProbe probe;
    probe.Load();
    peerkin::test::DeliverTimerTick(probe.Handle());
    EXPECT_TRUE(probe.unawareInTick);
    EXPECT_FALSE(IsUnaware(windowContext(probe.Handle())));
}

RECT BoxOf(const std::vector<RECT>& rects)
{
    RECT box { INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN };
    for (const RECT& rect : rects)
        box = RECT { std::min(box.left, rect.left), std::min(box.top, rect.top), std::max(box.right, rect.right),
            std::max(box.bottom, rect.bottom) };
    return box;
}

COLORREF WindowPixel(HWND window, int x, int y)
{
    HDC dc = ::GetDC(window);
    COLORREF colour = ::GetPixel(dc, x, y);
    ::ReleaseDC(window, dc);
    return colour;
}

void MoveToDotsPerInch(HWND window, int dotsPerInch, RECT suggested)
{
    ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dotsPerInch, dotsPerInch), reinterpret_cast<LPARAM>(&suggested));
    peerkin::test::PumpMessages();
}

TEST_F(FigureWindow, MovedToAMonitorOfTwiceTheScaleItIsDrawnAndCutForItAndBackAsBefore)
{
    auto figure = LoadedFigure();
    HWND window = figure->Handle();
    figure->Show();
    peerkin::test::DeliverTimerTick(window); // the eyes, to draw again
    std::vector<RECT> unscaled = WindowRegionRects(window).value();
    RECT at = WindowRect(window);

    MoveToDotsPerInch(window, 192, RECT { 40, 30, 40 + 386, 30 + 558 });

    RECT rect = WindowRect(window);
    EXPECT_EQ(rect.left, 40);
    EXPECT_EQ(rect.right - rect.left, 386);
    EXPECT_EQ(rect.bottom - rect.top, 558);
    std::vector<RECT> scaled = WindowRegionRects(window).value();
    RECT box = BoxOf(scaled);
    RECT unscaledBox = BoxOf(unscaled);
    EXPECT_NEAR(box.left, 2 * unscaledBox.left, 2);
    EXPECT_NEAR(box.right, 2 * unscaledBox.right, 2);
    EXPECT_NEAR(box.bottom, 2 * unscaledBox.bottom, 2);
    // An enlarged region would have every edge on an even device pixel.
    EXPECT_TRUE(std::any_of(scaled.begin(), scaled.end(), [](const RECT& r) { return (r.left | r.right) & 1; }));
    // The face is the one drawn for 200%, pixel for pixel.
    forms::PixelImage art = forms::PictureForScale(IDB_FIGURE, 2.0).value();
    for (POINT face : { POINT { 192, 320 }, POINT { 151, 401 }, POINT { 250, 90 } }) {
        std::uint32_t pixel = art.pixels[static_cast<std::size_t>(face.y * art.width + face.x)] & 0xFFFFFF;
        EXPECT_EQ(WindowPixel(window, face.x, face.y),
            RGB(static_cast<BYTE>(pixel >> 16), static_cast<BYTE>(pixel >> 8), static_cast<BYTE>(pixel)));
    }
    // The left eye drawn again, its disc red on one side of the pupil at least.
    EXPECT_TRUE(WindowPixel(window, 2 * (52 - 16), 2 * 118) == RGB(255, 0, 0)
        || WindowPixel(window, 2 * (52 + 16), 2 * 118) == RGB(255, 0, 0));

    MoveToDotsPerInch(window, 96, RECT { at.left, at.top, at.left + 193, at.top + 279 });

    EXPECT_EQ(WindowRect(window).right - WindowRect(window).left, 193);
    std::vector<RECT> again = WindowRegionRects(window).value();
    ASSERT_EQ(again.size(), unscaled.size());
    EXPECT_TRUE(std::equal(again.begin(), again.end(), unscaled.begin(), [](const RECT& a, const RECT& b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }));
}

} // namespace
