#pragma once
// The screen's scale on Windows. The program's own code counts 96 pixels to
// the inch at every scale: it runs in a thread context unaware of the scale,
// where the system answers each question as it answers a program unaware of
// it, while the window is per-monitor aware and the runtime draws and shapes
// it at the device's resolution. The functions come from user32 at run time:
// where the system has no thread contexts (before Windows 10 1607) nothing
// is declared, and the program behaves as a program unaware of the scale.

#include <windows.h>

namespace forms::win32 {

// Declares the process per-monitor aware (v2 where the system has it, else
// v1) and makes the calling thread unaware, the program's context. True
// when the process runs per-monitor aware from now on.
bool DeclarePerMonitorAwareness();
bool IsPerMonitorAware();

// The dots per inch window is shown at: the monitor's for an aware process,
// else 96.
unsigned DotsPerInchOf(HWND window);

// Runs the calling thread in one context for the scope's life: the
// program's (unaware), or the window's (per-monitor aware). Nothing where
// the process is not per-monitor aware.
class DpiContextScope {
public:
    enum class Context { Program, Device };
    explicit DpiContextScope(Context context);
    ~DpiContextScope();
    DpiContextScope(const DpiContextScope&) = delete;
    DpiContextScope& operator=(const DpiContextScope&) = delete;

private:
    DPI_AWARENESS_CONTEXT m_previous = nullptr;
};

} // namespace forms::win32
