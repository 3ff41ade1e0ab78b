#include "PlatformEnd.h"

#include <windows.h>

namespace forms {

void ShowFailureBox(const std::wstring& title, const std::wstring& message)
{
    ::MessageBoxW(nullptr, message.c_str(), title.c_str(), MB_OK | MB_ICONERROR | MB_TOPMOST | MB_SETFOREGROUND);
}

void ExitAtOnce()
{
    // Destroying windows one by one can stall for seconds on some desktops;
    // the system closes them with the process anyway.
    ::ExitProcess(0);
}

} // namespace forms
