#pragma once
// The pixels of an ellipse as rows of spans, for drawing into memory.
// Portable: no platform headers.

#include <cstdint>

namespace forms {

// The columns [first, last] of one row of an ellipse; empty when first > last.
struct EllipseSpan {
    std::int32_t first;
    std::int32_t last;
    bool IsEmpty() const { return first > last; }
};

// The ellipse inscribed in the box [left, right) x [top, bottom): the pixels
// whose centres lie within it, a twentieth of a pixel inside its edge so
// that a box of odd size gives a shape symmetric about its centre pixel.
class EllipseSpans {
public:
    EllipseSpans(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);

    // The span of row y; empty for rows outside the ellipse.
    EllipseSpan Row(std::int32_t y) const;

private:
    double m_centreX;
    double m_centreY;
    double m_radiusX;
    double m_radiusY;
};

} // namespace forms
