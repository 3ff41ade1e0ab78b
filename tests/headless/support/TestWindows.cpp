// The test helpers over the headless runtime: its windows, and the clock,
// pointer and screen the tests drive. Files, folders and programs are
// Linux's (tests/posix/support/TestSystem.cpp).
#include "TestWindows.h"

#include "HeadlessControl.h"
#include "HeadlessEventLoop.h"
#include "HeadlessWindow.h"
#include "LayerTestWindows.h"

#include <chrono>

namespace peerkin::test {

using forms::headless::HeadlessWindow;
using forms::headless::LiveWindow;

void PumpMessages() { forms::headless::TickDueTimers(); }

void PumpFor(int milliseconds) { forms::headless::AdvanceClock(std::chrono::milliseconds(milliseconds)); }

std::optional<std::vector<RECT>> WindowRegionRects(HWND handle) { return layer::RegionRects(LiveWindow(handle)); }

POINT ScreenPixels() { return POINT { forms::headless::Screen().width, forms::headless::Screen().height }; }

void MoveCursorTo(int x, int y) { forms::headless::SetPointer(POINT { x, y }); }

void DeliverTimerTick(HWND handle) { layer::TickFirstTimer(LiveWindow(handle)); }

void RestartTimer(HWND handle, std::size_t index, unsigned interval)
{
    forms::headless::StartTimer(handle, index, interval);
}

void ResetBackEnd()
{
    if (!forms::headless::ResetState())
        ADD_FAILURE() << "a window of an earlier test still lives";
}

bool IsShown(HWND handle)
{
    HeadlessWindow* window = LiveWindow(handle);
    return window && window->IsShown();
}

bool IsTopMost(HWND handle)
{
    HeadlessWindow* window = LiveWindow(handle);
    return window && window->IsTopMost();
}

void DestroyFromOutside(HWND handle)
{
    if (HeadlessWindow* window = LiveWindow(handle))
        window->CloseFromOutside();
}

double ScreenDotsPerInch() { return forms::headless::Screen().dotsPerInch; }

} // namespace peerkin::test
