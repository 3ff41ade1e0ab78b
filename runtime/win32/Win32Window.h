#pragma once
// A form's window on Win32: a popup of a window class that carries the
// form's icon, whose messages become the form's events.
//
// On a scaled screen the window is per-monitor aware and has the device's
// pixels, while the program's code runs unaware of the scale (Win32Dpi.h):
// the window's size, place, presses and events are the program's, its
// painting and shape the device's.

#include "DeviceScale.h"
#include "Platform.h"
#include "UniqueGdiObject.h"

#include <windows.h>

#include <cstddef>

namespace forms {

class Win32Window final : public PlatformWindow {
public:
    Win32Window(const WindowSettings& settings, WindowEvents& events);
    ~Win32Window() override;

    // False when the platform could not make the window.
    bool Exists() const { return m_window != nullptr; }

    HWND Handle() const override { return m_window; }
    RECT Bounds() override;
    PixelSize ClientSize() override;
    void MoveTo(int x, int y) override;
    void Show() override;
    void StartTimer(std::size_t index, unsigned interval) override;
    void Present(const OffscreenImage& image, const RECT& area) override;
    void DrawEllipse(const RECT& box, COLORREF pen, std::optional<COLORREF> fill) override;
    COLORREF ScreenPixel(int x, int y) override;

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Handles the messages that become events; false leaves one to the platform.
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Runs an event of the form in the program's context.
    template <typename Event>
    void RaiseInProgramContext(Event&& event);
    void MouseDown(std::int16_t button, WPARAM keys, LPARAM position);
    void Paint();
    void Closed();
    void SizeForScale();
    void DotsPerInchChanged(unsigned dotsPerInch, const RECT& suggested);
    // Takes a region the program's code gave the window, in its pixels, and
    // gives the window that shape at the device's resolution.
    void KeepShapeAtDeviceResolution();
    void ApplyDeviceShape();

    HWND m_window = nullptr;
    WindowEvents& m_events;
    std::size_t m_timers = 0; // timers 1 to m_timers may run
    int m_width; // the drawing area in the program's pixels
    int m_height;
    int m_pictureResource;
    DeviceScale m_scale; // the window's device pixels per program pixel
    bool m_shapeMayHaveChanged = false;
    UniqueRegion m_programShape; // the region the program gave, in its pixels
    UniqueRegion m_deviceShape; // a copy of the region given to the window for it
};

} // namespace forms
