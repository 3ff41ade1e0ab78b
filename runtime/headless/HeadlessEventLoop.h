#pragma once
// The headless event loop's parts: timers on the clock tests advance
// (HeadlessControl.h), and the hand-over of a window to the platform's move.

#include <windows.h>

#include <cstddef>

namespace forms::headless {

// (Re)starts timer index of window: its first tick is interval ms from now;
// an interval of 0 stops it.
void StartTimer(HWND window, std::size_t index, unsigned interval);
// Stops every timer of window.
void StopTimers(HWND window);
// True while any timer runs.
bool AnyTimerRuns();
// Lets time pass to when the next timer is due, and ticks it.
void RunToNextTimer();

// Hands window to the platform's move, as a press on its title bar does.
void HandOver(HWND window, WPARAM hitTest, LPARAM position);

} // namespace forms::headless
