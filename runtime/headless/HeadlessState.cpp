#include "HeadlessState.h"

namespace forms::headless {

HeadlessState& State()
{
    static HeadlessState state;
    return state;
}

// A window's timers count on the clock and its form on the registry, so
// neither may start afresh under a live window.
bool ResetState()
{
    if (!State().windows.empty())
        return false;
    State() = HeadlessState {};
    return true;
}

} // namespace forms::headless
