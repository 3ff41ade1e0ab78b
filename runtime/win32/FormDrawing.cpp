// The drawing side of a form: persistent drawing, pixel reading and circles.
#include "Form.h"

#include "Application.h"
#include "Checked.h"
#include "Failure.h"
#include "FormScale.h"

#include <cmath>

namespace forms {

void Form::SetAutoRedraw(bool on)
{
    HWND window = LoadedWindow();
    if (on == m_autoRedraw)
        return;
    m_autoRedraw = on;
    if (on) {
        RECT client {};
        ::GetClientRect(window, &client);
        m_image = std::make_unique<OffscreenImage>(client.right, client.bottom, m_definition.backColor, m_picture.Get());
    } else {
        m_image.reset();
    }
    m_drawn = {};
    ::InvalidateRect(window, nullptr, FALSE);
}

float Form::ScaleWidth()
{
    RECT client {};
    ::GetClientRect(LoadedWindow(), &client);
    return ToUnits(client.right);
}

float Form::ScaleHeight()
{
    RECT client {};
    ::GetClientRect(LoadedWindow(), &client);
    return ToUnits(client.bottom);
}

COLORREF Form::Point(float x, float y)
{
    // A scan reads every pixel at whole pixel positions: those need no
    // rounding and no scale.
    if (m_image && m_scaleMode == ScaleMode::Pixels && IsWholeIndex(x, m_image->Width())
        && IsWholeIndex(y, m_image->Height()))
        return m_image->PixelAt(static_cast<int>(x), static_cast<int>(y));
    HWND window = LoadedWindow();
    int column = RoundToInt32(ToPixels(x));
    int row = RoundToInt32(ToPixels(y));
    if (m_image)
        return m_image->PixelAt(column, row);
    RECT client {};
    ::GetClientRect(window, &client);
    if (column < 0 || row < 0 || column >= client.right || row >= client.bottom)
        return CLR_INVALID;
    WindowDc dc(window);
    return ::GetPixel(dc.Get(), column, row);
}

void Form::DrawCircle(HDC dc, const RECT& bounds, COLORREF color) const
{
    // The stock DC pen and brush take a colour without creating GDI objects,
    // so drawing allocates nothing.
    SelectedObject pen(dc, ::GetStockObject(DC_PEN));
    SelectedObject brush(dc, ::GetStockObject(m_definition.solidFill ? DC_BRUSH : NULL_BRUSH));
    ::SetDCPenColor(dc, color);
    ::SetDCBrushColor(dc, m_fillColor);
    ::SetROP2(dc, R2_COPYPEN);
    ::Ellipse(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
}

void Form::Circle(float x, float y, float radius, COLORREF color)
{
    HWND window = LoadedWindow();
    RECT bounds = CircleBounds(x, y, radius);
    if (!m_image) {
        WindowDc dc(window);
        DrawCircle(dc.Get(), bounds, color);
        return;
    }
    DrawCircle(m_image->Dc(), bounds, color);
    ::GdiFlush(); // pixel reads go straight to the image's memory
    ::UnionRect(&m_drawn, &m_drawn, &bounds);
}

void Form::ShowDrawing()
{
    if (!m_window || !m_image || ::IsRectEmpty(&m_drawn))
        return;
    RECT changed = m_image->TakeChanges(m_drawn);
    m_drawn = {};
    if (!::IsRectEmpty(&changed))
        ::InvalidateRect(m_window, &changed, FALSE);
}

void Form::Paint()
{
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(m_window, &paint);
    if (m_image) {
        m_image->CopyTo(dc, paint.rcPaint);
    } else {
        OffscreenImage fresh(paint.rcPaint.right, paint.rcPaint.bottom, m_definition.backColor, m_picture.Get());
        fresh.CopyTo(dc, paint.rcPaint);
    }
    ::EndPaint(m_window, &paint);
}

} // namespace forms
