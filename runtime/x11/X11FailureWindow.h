#pragma once
// A small window that tells the user why the program ends.

#include <string>

namespace forms::x11 {

// Shows message under title above other windows until the user clicks it,
// presses a key or closes it. Does nothing without a display.
void ShowFailureWindow(const std::string& title, const std::string& message);

} // namespace forms::x11
