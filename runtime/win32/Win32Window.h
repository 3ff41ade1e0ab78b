#pragma once
// A form's window on Win32: a popup of a window class that carries the
// form's icon, whose messages become the form's events.

#include "Platform.h"

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
    void MouseDown(std::int16_t button, WPARAM keys, LPARAM position);
    void Paint();
    void Closed();

    HWND m_window = nullptr;
    WindowEvents& m_events;
    std::size_t m_timers = 0; // timers 1 to m_timers may run
};

} // namespace forms
