#pragma once
// The arithmetic of a form's drawing scale, the same on every platform.

#include "Checked.h"
#include "FormDefinition.h"

#include <cmath>

namespace forms {

// Units of a scale per inch; 0 for a scale this runtime does not provide.
inline double UnitsPerInch(std::int16_t mode)
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

// A length in twips as whole pixels.
inline int TwipsToPixels(float twips, float twipsPerPixel)
{
    return RoundToInt32(static_cast<double>(twips) / static_cast<double>(twipsPerPixel));
}

// The box of a circle around (centreX, centreY) in pixels, whose right and
// bottom edges lie outside it, as the platforms draw ellipses.
inline RECT CircleBox(double centreX, double centreY, double radius)
{
    double reach = std::fabs(radius);
    return RECT { RoundToInt32(centreX - reach), RoundToInt32(centreY - reach), RoundToInt32(centreX + reach) + 1,
        RoundToInt32(centreY + reach) + 1 };
}

} // namespace forms
