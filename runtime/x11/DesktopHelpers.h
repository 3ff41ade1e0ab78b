#pragma once
// What each desktop adds to the pointer's reports: getting its helper to
// report to the program, noticing when it stops, and the end.

#include "SessionBus.h"

#include <memory>

namespace forms::x11 {

class DesktopHelper {
public:
    virtual ~DesktopHelper() = default;
    // Called at the end, while the bus is still open.
    virtual void Unload() { }
};

// The helper of the desktop running on bus, or null where that desktop
// does not run there.
std::unique_ptr<DesktopHelper> StartGnomeShellHelper(SessionBus& bus);
std::unique_ptr<DesktopHelper> StartKWinHelper(SessionBus& bus);

// GNOME Shell's name, object and extensions' interface on the session bus.
namespace gnome {
inline constexpr char Shell[] = "org.gnome.Shell";
inline constexpr char ShellPath[] = "/org/gnome/Shell";
inline constexpr char Extensions[] = "org.gnome.Shell.Extensions";
} // namespace gnome

// Writes a line on standard error, prefixed with the program's name.
void TellUser(const char* text);

} // namespace forms::x11
