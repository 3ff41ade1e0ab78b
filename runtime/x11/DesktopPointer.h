#pragma once
// The pointer as the desktop itself sees it, on GNOME and KDE Plasma
// Wayland sessions. There the X server learns where the pointer is only
// while it is over an X11 window; a small helper inside the desktop (a GNOME
// Shell extension, a KWin script) calls the program's
// org.orlo.Peerkin.Pointer.Moved(x, y) on the session bus whenever the
// pointer moves. The program takes those calls in on its tick, without
// waiting, and believes the newest witness (PointerMerge).

#include "PointerReports.h"

namespace forms::x11 {

// Chooses the source at the event loop's start: on a Wayland session the
// desktop's helper where there is one, otherwise X alone, as on X11.
void StartDesktopPointer();
// Ends the helper's reports (the KWin script is unloaded again).
void StopDesktopPointer();
// The place the eyes look at this tick, given what X reports; X's own
// place where no helper runs. Never waits.
ScreenPoint PointerPlace(ScreenPoint fromX);

} // namespace forms::x11
