#pragma once
// Everything the headless back-end keeps between calls, in one object, so
// that a test can start from a fresh one (ResetState, HeadlessControl.h).

#include "HeadlessControl.h"
#include "TimerQueue.h"

#include <windows.h>

#include <chrono>
#include <unordered_map>

namespace forms::headless {

struct HeadlessState {
    std::chrono::milliseconds now { 0 };
    TimerQueue timers;
    std::unordered_map<HWND, HeadlessWindow*> windows;
    POINT pointer {};
    bool leftButtonDown = false;
    bool pointerHeld = false;
    bool quit = false;
    ScreenSettings screen;
    HandOverWatch watch;
    FailureBox lastFailureBox;
};

HeadlessState& State();

} // namespace forms::headless
