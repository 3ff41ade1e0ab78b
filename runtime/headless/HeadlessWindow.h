#pragma once
// A form's window in memory: its place, its stacking, its shape and what it
// shows, with the input a test delivers turned into the form's events.

#include "HeadlessImage.h"
#include "LayerWindow.h"
#include "Platform.h"

#include <memory>
#include <string>

struct HRGN__;

namespace forms::headless {

class HeadlessWindow final : public PlatformWindow, public winapi::LayerWindow {
public:
    HeadlessWindow(const WindowSettings& settings, WindowEvents& events);
    ~HeadlessWindow() override;

    HWND Handle() const override { return m_handle; }
    RECT Bounds() override;
    PixelSize ClientSize() override { return PixelSize { m_surface.Width(), m_surface.Height() }; }
    void MoveTo(int x, int y) override { m_position = POINT { x, y }; }
    void Show() override;
    void StartTimer(std::size_t index, unsigned interval) override;
    void Present(const OffscreenImage& image, const RECT& area) override;
    void DrawEllipse(const RECT& box, COLORREF pen, std::optional<COLORREF> fill) override;
    COLORREF ScreenPixel(int x, int y) override { return m_surface.PixelAt(x, y); }

    const std::wstring& Caption() const { return m_caption; }
    bool IsShown() const { return m_shown; }
    bool IsTopMost() const { return m_topMost; }
    void KeepAbove() override { m_topMost = true; }
    void SetShape(HRGN__* region) override;
    // Tells the tests' watch: nothing can move the pointer while it runs.
    void MoveWithPointer(LPARAM pressedAt) override;
    const HRGN__* Shape() const { return m_shape.get(); }

    // Input, as a test delivers it. A close from outside ends in OnClosed,
    // after which the form may have deleted this object.
    void Press(std::int16_t button, std::int16_t shift, int x, int y) { m_events.OnMouseDown(button, shift, x, y); }
    void DoubleClick() { m_events.OnDoubleClick(); }
    void CloseFromOutside() { m_events.OnClosed(); }
    void Tick(std::size_t index) { m_events.OnTick(index); }

private:
    struct ShapeDeleter {
        void operator()(HRGN__* region) const;
    };

    WindowEvents& m_events;
    HWND m_handle;
    std::wstring m_caption;
    HeadlessImage m_surface; // what the window shows
    POINT m_position {};
    bool m_shown = false;
    bool m_topMost = false;
    std::unique_ptr<HRGN__, ShapeDeleter> m_shape;
};

} // namespace forms::headless
