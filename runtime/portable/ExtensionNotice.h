#pragma once
// What the program tells a GNOME user at start about its Shell extension,
// from the state the shell answers for it. A user who starts the figure
// from the application grid sees no standard error, so the desktop's
// notification says it; the line is for a session without one.
// Portable: no bus; the X11 back-end shows it.

#include <optional>
#include <string>
#include <string_view>

namespace forms {

struct ExtensionNotice {
    std::string summary;
    std::string body;
    // The label of the action that switches the extension on; empty where
    // the shell could not switch it on.
    std::string switchOnLabel;
    // Said on standard error where no notification service answers, or
    // where the shell refused to switch the extension on.
    std::string line;
    // False where the line alone is said: to one who runs a program that
    // was never installed, from a terminal.
    bool asNotification = true;
};

// The notice for the shell's state number of the extension (nullopt: the
// shell does not know it, as when it was installed during the session) and
// whether its files are installed; none once the extension is enabled.
std::optional<ExtensionNotice> ExtensionNoticeFor(
    std::optional<double> shellState, bool installed, std::string_view uuid);

} // namespace forms
