#pragma once
// The event loop: X events and the forms' timers, handled in one thread.

#include <X11/Xlib.h>

#include <cstddef>
#include <functional>

namespace forms::x11 {

// (Re)starts timer index of window: its first tick is interval ms from now.
void StartTimer(::Window window, std::size_t index, unsigned interval);
// Stops every timer of window.
void StopTimers(::Window window);

// Sees every X event before the forms do while set; returns true for an
// event it has handled. Null removes it.
using EventFilter = std::function<bool(XEvent&)>;
void SetEventFilter(EventFilter filter);

// Hands event to the filter, else to the form's window it concerns.
void DispatchEvent(XEvent& event);

// Handles events and due timers until done() is true, waiting for the
// next event or timer in between, and, given checkEvery, asking done()
// again at least every checkEvery ms.
void PumpUntil(const std::function<bool()>& done, int checkEvery = -1);
// Handles whatever events and timers are due now, without waiting.
void PumpPending();

} // namespace forms::x11
