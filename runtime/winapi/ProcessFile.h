#pragma once
// The running program as Linux sees it.

#include <string>

namespace forms::winapi {

// The program's own file, as Linux names it; empty when it cannot be told.
std::string ExecutablePath();

} // namespace forms::winapi
