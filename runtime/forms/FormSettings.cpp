// The drawing settings of a form, the same on every platform: its scale
// and its fill colour.
#include "Form.h"

#include "Application.h"
#include "Checked.h"
#include "Failure.h"
#include "FormScale.h"

namespace forms {

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
    return CircleBox(ToPixels(x), ToPixels(y), ToPixels(radius));
}

} // namespace forms
