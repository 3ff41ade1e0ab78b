#pragma once
// The platform functions the figure, its trimmer and its start-up call, as
// this program's own layer provides them on X11: the same names, types and
// meanings as on Windows, so that their code builds unchanged. Only what
// they use is here; it is not a general emulation of the Windows API.

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
using CHAR = char;
using WCHAR = wchar_t;
using LPSTR = char*;
using LPCSTR = const char*;
using LPWSTR = wchar_t*;
using LPCWSTR = const wchar_t*;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;
constexpr DWORD MAX_PATH = 260;

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
inline const HWND HWND_NOTOPMOST = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-2));
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

// The settings file: a classic sectioned key/value file.
DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size,
    LPCSTR fileName);
BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName);
