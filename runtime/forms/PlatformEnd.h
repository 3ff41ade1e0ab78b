#pragma once
// What ending the program and reporting its failure take from the platform.

#include <string>

namespace forms {

// Shows message to the user under title, above every other window, and
// returns once the user has closed it.
void ShowFailureBox(const std::wstring& title, const std::wstring& message);

// Ends the process at once with exit code 0.
[[noreturn]] void ExitAtOnce();

} // namespace forms
