#include "PlatformEnd.h"

#include "Ansi.h"
#include "FailureBox.h"

#include <unistd.h>

#include <cstdio>

namespace forms {

void ShowFailureBox(const std::wstring& title, const std::wstring& message)
{
    std::string text = ToAnsi(title) + ": " + ToAnsi(message) + "\n";
    std::fputs(text.c_str(), stderr);
    x11::ShowFailureWindow(ToAnsi(title), ToAnsi(message));
}

void ExitAtOnce()
{
    // The X server closes the windows with the connection.
    std::fflush(nullptr);
    ::_exit(0);
}

} // namespace forms
