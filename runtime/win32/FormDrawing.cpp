// The drawing side of a form: its scale, persistent drawing, pixel reading
// and circles.
#include "Form.h"

#include "Application.h"
#include "Checked.h"
#include "Failure.h"

#include <cmath>

namespace forms {
namespace {

// Units of a scale per inch; 0 for a scale this runtime does not provide.
double UnitsPerInch(std::int16_t mode)
{
    switch (mode) {
    case ScaleMode::Twips: return 1440.0;
    case ScaleMode::Points: return 72.0;
    case ScaleMode::Inches: return 1.0;
    case ScaleMode::Millimeters: return 25.4;
    case ScaleMode::Centimeters: return 2.54;
    default: return 0.0;
    }
}

// True when value is a whole number from 0 up to, not including, limit.
bool IsWholeIndex(float value, int limit)
{
    return value >= 0 && value < static_cast<float>(limit) && static_cast<float>(static_cast<int>(value)) == value;
}

} // namespace

double Form::PixelsPerUnit() const
{
    if (m_scaleMode == ScaleMode::Pixels)
        return 1.0;
    double pixelsPerInch = 1440.0 / static_cast<double>(Screen::TwipsPerPixelX());
    return pixelsPerInch / UnitsPerInch(m_scaleMode);
}

float Form::ToUnits(double pixels) const { return ToSingle(pixels / PixelsPerUnit()); }

std::int16_t Form::ScaleMode()
{
    LoadedWindow();
    return m_scaleMode;
}

void Form::SetScaleMode(std::int16_t mode)
{
    LoadedWindow();
    if (mode != ScaleMode::Pixels && UnitsPerInch(mode) == 0.0)
        Fail(FailureCode::InvalidPropertyValue);
    m_scaleMode = mode;
}

bool Form::AutoRedraw()
{
    LoadedWindow();
    return m_autoRedraw;
}

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

COLORREF Form::FillColor()
{
    LoadedWindow();
    return m_fillColor;
}

void Form::SetFillColor(COLORREF color)
{
    LoadedWindow();
    m_fillColor = color;
}

RECT Form::CircleBounds(float x, float y, float radius) const
{
    double centreX = ToPixels(x);
    double centreY = ToPixels(y);
    double reach = std::fabs(ToPixels(radius));
    // GDI leaves out the right and bottom edges of an ellipse's box.
    return RECT { RoundToInt32(centreX - reach), RoundToInt32(centreY - reach), RoundToInt32(centreX + reach) + 1,
        RoundToInt32(centreY + reach) + 1 };
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
