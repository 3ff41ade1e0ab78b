#pragma once
// The product's names as the systems under it know it, in one place: every
// name a back-end writes where the system, the desktop or another copy of
// the program sees it. A running copy is found, and the settings are kept,
// by these names: they keep their spelling from one release to the next.

namespace forms::product {

// The short name: the X resource and class name, and the name of the
// per-user settings folder on Linux.
inline constexpr char ShortName[] = "peerkin";
// The X window class, by which desktops match a window to its desktop entry.
inline constexpr char ClassName[] = "Peerkin";
// The name people know the program by, which desktops' notifications show.
inline constexpr char DisplayName[] = "Orlo's Peerkin";
// The desktop entry (org.orlo.Peerkin.desktop) and the icon it names, by
// which desktops match a notification to the program.
inline constexpr char DesktopEntry[] = "org.orlo.Peerkin";
// The start of the single-instance lock's folder and file names on Linux.
inline constexpr char LockName[] = "orlos-peerkin";
// The start of the single-instance mutex's name on Windows.
inline constexpr wchar_t InstanceMutexName[] = L"Local\\OrlosPeerkin.Instance.";
// The start of the names of the forms' window classes on Windows.
inline constexpr wchar_t WindowClassName[] = L"PeerkinForm";

// The session-bus name, object and interface the desktops' pointer helpers
// report to, which the helpers (desktop-helpers/) name as well.
inline constexpr char BusName[] = "org.orlo.Peerkin";
inline constexpr char BusObjectPath[] = "/org/orlo/Peerkin";
inline constexpr char PointerInterface[] = "org.orlo.Peerkin.Pointer";
// The name KWin keeps the pointer script under while the program runs; a
// copy that starts finds an earlier copy's script by it and replaces it.
inline constexpr char KWinScriptName[] = "peerkin-pointer";
// The UUIDs of the GNOME Shell extension: for the shells of ES modules (45
// and later), and for the older ones.
inline constexpr char ModuleExtensionUuid[] = "peerkin@orlo.org";
inline constexpr char LegacyExtensionUuid[] = "peerkin-legacy@orlo.org";

} // namespace forms::product
