#pragma once
// The running program as Linux sees it.

#include <string>

namespace forms::x11 {

// The program's own file, as Linux names it; empty when it cannot be told.
std::string ExecutablePath();

} // namespace forms::x11
