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
// The start of the single-instance lock's folder and file names on Linux.
inline constexpr char LockName[] = "orlos-peerkin";
// The start of the single-instance mutex's name on Windows.
inline constexpr wchar_t InstanceMutexName[] = L"Local\\OrlosPeerkin.Instance.";
// The start of the names of the forms' window classes on Windows.
inline constexpr wchar_t WindowClassName[] = L"PeerkinForm";

} // namespace forms::product
