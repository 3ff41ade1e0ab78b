#pragma once
// Owners for the Win32 handles the Win32 back-end uses, besides the GDI
// objects every platform has (UniqueGdiObject.h).

#include "UniqueGdiObject.h"
#include "UniqueHandle.h"

#include <windows.h>

namespace forms {

struct MemoryDcTraits {
    static void Close(HDC dc) { ::DeleteDC(dc); }
};
struct KernelHandleTraits {
    static void Close(HANDLE handle) { ::CloseHandle(handle); }
};
struct IconTraits {
    static void Close(HICON icon) { ::DestroyIcon(icon); }
};

using UniqueBrush = UniqueHandle<HBRUSH, GdiObjectTraits>;
using UniqueMemoryDc = UniqueHandle<HDC, MemoryDcTraits>;
using UniqueKernelHandle = UniqueHandle<HANDLE, KernelHandleTraits>;
using UniqueIcon = UniqueHandle<HICON, IconTraits>;

// A window's device context, borrowed with GetDC and given back on scope exit.
class WindowDc {
public:
    explicit WindowDc(HWND window)
        : m_window(window)
        , m_dc(::GetDC(window))
    {
    }
    ~WindowDc()
    {
        if (m_dc)
            ::ReleaseDC(m_window, m_dc);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC Get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// An object selected into a device context, deselected on scope exit.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object)
        : m_dc(dc)
        , m_previous(::SelectObject(dc, object))
    {
    }
    ~SelectedObject() { ::SelectObject(m_dc, m_previous); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

} // namespace forms
