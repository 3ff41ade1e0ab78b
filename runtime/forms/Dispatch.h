#pragma once
// Event dispatch: every handler runs through RaiseEvent, which keeps a
// failure from crossing into the platform's window procedure and hands it to
// the failure policy instead. The default policy reports the failure once
// and ends the program: a figure that silently stops following the cursor,
// or that shows the same message on every tick, helps nobody.

#include "Failure.h"

#include <exception>
#include <new>

namespace forms {

using FailurePolicy = void (*)(const RuntimeFailure&);
using EndAction = void (*)();

// Replaces the failure policy; returns the previous one. For tests.
FailurePolicy SetFailurePolicy(FailurePolicy policy);
// Replaces what ending the program does; returns the previous action. For tests.
EndAction SetEndAction(EndAction action);
// Lets handlers run again after an ending that a test intercepted.
void ClearEnding();

// True once the program is ending: no further handler runs.
bool IsEnding();

// Ends the program: no further handler runs and the process exits.
void End();

// Shows the failure in a message box, then ends the program.
void ReportFailureAndEnd(const RuntimeFailure& failure);

void HandleFailure(const RuntimeFailure& failure);

template <typename Handler>
void RaiseEvent(Handler&& handler) noexcept
{
    if (IsEnding())
        return;
    try {
        handler();
    } catch (const RuntimeFailure& failure) {
        HandleFailure(failure);
    } catch (const std::bad_alloc&) {
        HandleFailure(RuntimeFailure(FailureCode::OutOfMemory));
    } catch (const std::exception& other) {
        HandleFailure(RuntimeFailure(FailureCode::InvalidCall, other.what()));
    }
}

} // namespace forms
