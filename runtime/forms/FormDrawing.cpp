// The drawing side of a form, the same on every platform: persistent
// drawing, pixel reading and circles. The back-end's image and window do
// the drawing and copying itself.
#include "Form.h"

#include "Checked.h"
#include "FormScale.h"

#include <cmath>

namespace forms {

std::unique_ptr<OffscreenImage> Form::FreshImage()
{
    PixelSize size = m_window->ClientSize();
    return platform::CreateOffscreenImage(size.width, size.height, m_definition.backColor, m_picture.Get());
}

const OffscreenImage& Form::ShownImage()
{
    if (m_image)
        return *m_image;
    // Without persistent drawing the window shows its background and picture.
    if (!m_plainImage)
        m_plainImage = FreshImage();
    return *m_plainImage;
}

void Form::SetAutoRedraw(bool on)
{
    PlatformWindow& window = LoadedWindow();
    if (on == m_autoRedraw)
        return;
    m_autoRedraw = on;
    // Switched on, drawing starts again from the background and picture.
    m_image = on ? FreshImage() : nullptr;
    m_drawn = {};
    PixelSize size = window.ClientSize();
    window.Present(ShownImage(), RECT { 0, 0, size.width, size.height });
}

float Form::ScaleWidth() { return ToUnits(LoadedWindow().ClientSize().width); }

float Form::ScaleHeight() { return ToUnits(LoadedWindow().ClientSize().height); }

COLORREF Form::Point(float x, float y)
{
    // A scan reads every pixel at whole pixel positions: those need no
    // scale, and their rounding keeps the number. (Rounded in the current
    // rounding mode, not cut: cutting changes the x87 control word twice,
    // which on 32-bit x86 under Wine made a scan ten times slower.)
    if (m_image && m_scaleMode == ScaleMode::Pixels) {
        long column = std::lrint(x);
        long row = std::lrint(y);
        bool whole = static_cast<float>(column) == x && static_cast<float>(row) == y;
        if (whole && column >= 0 && row >= 0 && column < m_image->Width() && row < m_image->Height())
            return m_image->PixelAt(static_cast<int>(column), static_cast<int>(row));
    }
    PlatformWindow& window = LoadedWindow();
    int column = RoundToInt32(ToPixels(x));
    int row = RoundToInt32(ToPixels(y));
    if (m_image)
        return m_image->PixelAt(column, row);
    return window.ScreenPixel(column, row);
}

void Form::Circle(float x, float y, float radius, COLORREF color)
{
    PlatformWindow& window = LoadedWindow();
    RECT bounds = CircleBounds(x, y, radius);
    std::optional<COLORREF> fill;
    if (m_definition.solidFill)
        fill = m_fillColor;
    if (!m_image) {
        window.DrawEllipse(bounds, color, fill);
        return;
    }
    m_image->DrawEllipse(bounds, color, fill);
    m_drawn = UnionOf(m_drawn, bounds);
}

void Form::ShowDrawing()
{
    if (!m_window || !m_image || IsEmptyRect(m_drawn))
        return;
    RECT changed = m_image->TakeChanges(m_drawn);
    m_drawn = {};
    if (!IsEmptyRect(changed))
        m_window->Present(*m_image, changed);
}

} // namespace forms
