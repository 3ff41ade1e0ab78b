#include "ExtensionNotice.h"

namespace forms {
namespace {

// The shell's ExtensionState numbers that matter here.
constexpr double Enabled = 1;
constexpr double Failed = 3;
constexpr double OutOfDate = 4;
constexpr double Enabling = 8; // newer shells only: on its way to Enabled

constexpr const char* Summary = "The eyes see the pointer only over X11 windows";
constexpr const char* Purpose
    = "The program's GNOME Shell extension lets them follow it everywhere; it tells only this program where the "
      "pointer is.";

std::string LineWith(std::string_view why, std::string_view uuid)
{
    return "on this GNOME Wayland session the eyes see the pointer only over X11 windows " + std::string(why) + " "
        + std::string(uuid);
}

} // namespace

std::optional<ExtensionNotice> ExtensionNoticeFor(
    std::optional<double> shellState, bool installed, std::string_view uuid)
{
    if (shellState == Enabled || shellState == Enabling)
        return std::nullopt;
    if (!shellState && !installed)
        return ExtensionNotice { {}, {}, {},
            LineWith("because the program's GNOME Shell extension is not installed:", uuid), false };
    if (!shellState) // the shell loads extensions only as a session starts
        return ExtensionNotice { Summary,
            std::string(Purpose) + " GNOME loads it at the next log-in; then this program offers to switch it on.", "",
            LineWith("until the program's GNOME Shell extension, which GNOME loads at the next log-in, is enabled: "
                     "gnome-extensions enable",
                uuid) };
    if (shellState == Failed || shellState == OutOfDate)
        return ExtensionNotice { Summary, std::string(Purpose) + " GNOME Shell could not start it.", "",
            LineWith("because GNOME Shell could not start the program's extension", uuid) };
    return ExtensionNotice { Summary, Purpose, "Switch it on",
        LineWith("until the program's GNOME Shell extension is enabled: gnome-extensions enable", uuid) };
}

} // namespace forms
