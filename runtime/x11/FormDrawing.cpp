// The drawing side of a form: persistent drawing, pixel reading and circles.
#include "Form.h"

#include "Application.h"
#include "Checked.h"
#include "Failure.h"
#include "FormScale.h"
#include "FormWindow.h"
#include "GdiObjects.h"

#include <algorithm>
#include <cmath>

namespace forms {

void Form::SetAutoRedraw(bool on)
{
    HWND window = LoadedWindow();
    if (on == m_autoRedraw)
        return;
    m_autoRedraw = on;
    if (on)
        m_image = std::make_unique<OffscreenImage>(
            window->width, window->height, m_definition.backColor, m_picture.Get());
    else
        m_image.reset();
    m_drawn = {};
    Paint(RECT { 0, 0, window->width, window->height });
}

float Form::ScaleWidth() { return ToUnits(LoadedWindow()->width); }

float Form::ScaleHeight() { return ToUnits(LoadedWindow()->height); }

COLORREF Form::Point(float x, float y)
{
    // A scan reads every pixel at whole pixel positions: those need no
    // rounding and no scale.
    if (m_image && m_scaleMode == ScaleMode::Pixels && IsWholeIndex(x, m_image->Width())
        && IsWholeIndex(y, m_image->Height()))
        return m_image->PixelAt(static_cast<int>(x), static_cast<int>(y));
    LoadedWindow();
    int column = RoundToInt32(ToPixels(x));
    int row = RoundToInt32(ToPixels(y));
    if (m_image)
        return m_image->PixelAt(column, row);
    // Without persistent drawing the window shows its background and picture.
    OffscreenImage shown(m_window->width, m_window->height, m_definition.backColor, m_picture.Get());
    return shown.PixelAt(column, row);
}

void Form::Circle(float x, float y, float radius, COLORREF color)
{
    HWND window = LoadedWindow();
    RECT bounds = CircleBounds(x, y, radius);
    COLORREF fill = m_definition.solidFill ? m_fillColor : CLR_INVALID;
    if (!m_image) {
        // Drawn straight on the window: gone at its next paint.
        OffscreenImage scratch(window->width, window->height, m_definition.backColor, m_picture.Get());
        scratch.DrawEllipse(bounds, color, fill);
        scratch.CopyTo(window->xid, window->gc, bounds);
        return;
    }
    m_image->DrawEllipse(bounds, color, fill);
    m_drawn = m_drawn.left < m_drawn.right
        ? RECT { std::min(m_drawn.left, bounds.left), std::min(m_drawn.top, bounds.top),
              std::max(m_drawn.right, bounds.right), std::max(m_drawn.bottom, bounds.bottom) }
        : bounds;
}

void Form::ShowDrawing()
{
    if (!m_window || !m_image || m_drawn.left >= m_drawn.right)
        return;
    RECT changed = m_image->TakeChanges(m_drawn);
    m_drawn = {};
    if (changed.left < changed.right && m_window->mapped)
        Paint(changed);
}

void Form::Paint(const RECT& area)
{
    if (!m_window || !m_window->mapped)
        return;
    if (m_image) {
        m_image->CopyTo(m_window->xid, m_window->gc, area);
        return;
    }
    OffscreenImage fresh(m_window->width, m_window->height, m_definition.backColor, m_picture.Get());
    fresh.CopyTo(m_window->xid, m_window->gc, area);
}

} // namespace forms
