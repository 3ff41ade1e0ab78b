#pragma once
// What the program needs to know of the desktop session it runs in, read
// from what the session tells every client. Portable: no X, no bus; the
// X11 back-end feeds it.

#include <string_view>

namespace forms {

// True when the session is a Wayland one, from $WAYLAND_DISPLAY and
// $XDG_SESSION_TYPE (either may be null).
bool IsWaylandSession(const char* waylandDisplay, const char* sessionType);

// GNOME Shell 45 changed extensions into ES modules, so the package carries
// the helper twice: the UUID of the one that fits the shell's version text
// ("43.9", "46.rc"); the older one where the text cannot be read.
std::string_view GnomeExtensionUuid(std::string_view shellVersion);

} // namespace forms
