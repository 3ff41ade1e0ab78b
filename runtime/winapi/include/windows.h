#pragma once
// The Windows functions the program's own code (startup/, trimmer/, figure/)
// calls, as the back-ends of systems without <windows.h> (X11, headless)
// provide them, so that code builds unchanged there. The window functions
// (GetWindowRect to SetWindowRgn) are each back-end's own; the rest is
// implemented once, in this folder. This is the whole contract: exactly these functions, with exactly the
// meaning that code relies on, and the types they take, which the forms
// runtime shares. It is no general emulation of the Windows API; what nothing
// calls is not here.
//
// What the callers rely on:
// - GetWindowRect: the form window's outer rectangle in screen pixels, read
//   on every tick (the eyes are placed from it).
// - GetCursorPos: the pointer's position in screen pixels, anywhere on the
//   screen, on every tick.
// - SetWindowPos(window, HWND_TOPMOST, ..., SWP_NOSIZE | SWP_NOMOVE |
//   SWP_NOACTIVATE): keep the window above every other window.
// - ReleaseCapture, then SendMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, 0):
//   the window follows the pointer while the left button stays down; the
//   call returns when the move has ended, and timers tick meanwhile.
// - CreateRectRgn, CombineRgn(RGN_OR), DeleteObject, SetWindowRgn: the union
//   of one-row rectangles becomes the window's shape; SetWindowRgn takes the
//   region over; a handle is valid until deleted or taken over.
// - GetModuleHandleW(nullptr), LoadImageW(IMAGE_BITMAP): the figure's
//   picture, built into the program.
// - CharUpperBuffW: upper case for settings names.
// - GetWindowsDirectoryA, GetSystemDirectoryA, GetTempPathA,
//   GetLongPathNameA: folders and the long form of a path, in the program's
//   path form (PathForm.h); only recorded, never written to.
// - GetPrivateProfileStringA, WritePrivateProfileStringA: read and set one
//   value of the settings file, with the platform's file rules
//   (ProfileText.h); a failed write leaves the file as it was.

#include <cstdint>

// Whole numbers of the sizes the Windows API gives them, whatever the
// compiler's own long is.
using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using COLORREF = DWORD;
using LPSTR = char*;
using LPCSTR = const char*;
using LPWSTR = wchar_t*;
using LPCWSTR = const wchar_t*;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

// Handles: opaque to callers. A window handle stands for a form's window; a
// GDI object (region, bitmap) lives until DeleteObject or until a window
// takes it over.
struct HWND__;
struct HRGN__;
struct HBITMAP__;
struct HINSTANCE__;
using HWND = HWND__*;
using HRGN = HRGN__*;
using HBITMAP = HBITMAP__*;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;
using HGDIOBJ = void*;
using HANDLE = void*;

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct POINT {
    LONG x;
    LONG y;
};

// Colours are 0x00BBGGRR.
constexpr COLORREF RGB(BYTE red, BYTE green, BYTE blue)
{
    return static_cast<COLORREF>(red) | (static_cast<COLORREF>(green) << 8) | (static_cast<COLORREF>(blue) << 16);
}
constexpr BYTE GetRValue(COLORREF colour) { return static_cast<BYTE>(colour & 0xFF); }
constexpr BYTE GetGValue(COLORREF colour) { return static_cast<BYTE>((colour >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF colour) { return static_cast<BYTE>((colour >> 16) & 0xFF); }
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// Window placement.
inline const HWND HWND_TOPMOST = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1));
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOACTIVATE = 0x0010;

// Messages: a press on the title bar starts the window manager's move.
constexpr UINT WM_NCLBUTTONDOWN = 0x00A1;
constexpr WPARAM HTCAPTION = 2;

// Regions.
constexpr int RGN_OR = 2;
constexpr int ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

// Resources: a number stands in for a resource name.
constexpr UINT IMAGE_BITMAP = 0;
constexpr UINT IMAGE_ICON = 1;
constexpr UINT LR_CREATEDIBSECTION = 0x2000;
inline LPCWSTR MAKEINTRESOURCEW(int id)
{
    return reinterpret_cast<LPCWSTR>(static_cast<std::uintptr_t>(static_cast<WORD>(id)));
}

// C linkage, as the platform's own functions have.
extern "C" {

// Windows.
BOOL GetWindowRect(HWND window, RECT* rect);
BOOL GetCursorPos(POINT* point);
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
BOOL ReleaseCapture();
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Takes over region (also on failure, as on Windows); null removes the shape.
int SetWindowRgn(HWND window, HRGN region, BOOL redraw);

// Regions and GDI objects.
HRGN CreateRectRgn(int left, int top, int right, int bottom);
int CombineRgn(HRGN destination, HRGN source1, HRGN source2, int mode);
BOOL DeleteObject(HGDIOBJ object);

// Resources of the running program.
HMODULE GetModuleHandleW(LPCWSTR moduleName);
HANDLE LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int width, int height, UINT flags);

// Text.
DWORD CharUpperBuffW(LPWSTR text, DWORD length);

// Folders and paths. Texts are UTF-8; paths are in the program's own form,
// "\" between names (see PathForm.h).
UINT GetWindowsDirectoryA(LPSTR buffer, UINT size);
UINT GetSystemDirectoryA(LPSTR buffer, UINT size);
DWORD GetTempPathA(DWORD size, LPSTR buffer);
DWORD GetLongPathNameA(LPCSTR shortPath, LPSTR longPath, DWORD size);

// The settings file: a classic sectioned key/value file. Every argument is
// required (the services' listing and deleting forms are not provided).
DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size,
    LPCSTR fileName);
BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName);

} // extern "C"
