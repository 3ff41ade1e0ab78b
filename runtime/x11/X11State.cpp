#include "X11State.h"

namespace forms::x11 {

X11State& State()
{
    static X11State state;
    return state;
}

bool ResetState()
{
    X11State& state = State();
    if (!state.windows.empty() || state.pointer)
        return false;
    X11Connection* connection = state.connection;
    state = X11State {};
    state.connection = connection;
    return true;
}

} // namespace forms::x11
