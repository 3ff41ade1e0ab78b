#pragma once
// What tests drive in the headless back-end: its clock, its pointer and its
// screen, the hand-over of a window to the platform's move, and the failure
// box it would have shown. Nothing here runs on its own: time passes only
// when a test advances the clock.

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

namespace forms::headless {

class HeadlessWindow;

// Time since the process started, as the headless timers count it.
std::chrono::milliseconds Now();
// Lets time pass: every timer that falls due on the way ticks at its time,
// in order of time.
void AdvanceClock(std::chrono::milliseconds by);
// Ticks the timers due now, without letting time pass.
void TickDueTimers();

// The pointer's position on the screen, and whether its left button is down.
void SetPointer(POINT at);
POINT Pointer();
void SetLeftButtonDown(bool down);
bool LeftButtonDown();
// True while the program holds the pointer (until ReleaseCapture).
void SetPointerHeld(bool held);
bool PointerHeld();

// The screen's size in pixels and its dots per inch.
struct ScreenSettings {
    int width = 1024;
    int height = 768;
    double dotsPerInch = 96.0;
};
ScreenSettings& Screen();

// Called with the window, hit-test code and position of each hand-over of a
// window to the platform's move (SendMessageA(WM_NCLBUTTONDOWN)); null for
// none.
using HandOverWatch = std::function<void(HWND, WPARAM, LPARAM)>;
void SetHandOverWatch(HandOverWatch watch);

// The title and message of the last failure box shown; empty before any.
struct FailureBox {
    std::wstring title;
    std::wstring message;
};
const FailureBox& LastFailureBox();

// Makes the back-end's state fresh, as at the start of the process: the
// clock at 0, the pointer at the corner and its buttons up, the screen's
// defaults, no watch and no failure box. False, changing nothing, while a
// window lives.
bool ResetState();

// The window behind a live handle, or null.
HeadlessWindow* LiveWindow(HWND handle);

} // namespace forms::headless
