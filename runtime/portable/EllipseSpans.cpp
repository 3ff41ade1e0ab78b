#include "EllipseSpans.h"

#include <cmath>

namespace forms {
namespace {

constexpr double EdgeShortfall = 0.05;

} // namespace

EllipseSpans::EllipseSpans(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
    : m_centreX((static_cast<double>(left) + right - 1) / 2.0)
    , m_centreY((static_cast<double>(top) + bottom - 1) / 2.0)
    , m_radiusX((static_cast<double>(right) - left) / 2.0 - EdgeShortfall)
    , m_radiusY((static_cast<double>(bottom) - top) / 2.0 - EdgeShortfall)
{
}

EllipseSpan EllipseSpans::Row(std::int32_t y) const
{
    if (m_radiusX <= 0 || m_radiusY <= 0)
        return EllipseSpan { 1, 0 };
    double dy = (y - m_centreY) / m_radiusY;
    if (std::fabs(dy) > 1.0)
        return EllipseSpan { 1, 0 };
    double reach = m_radiusX * std::sqrt(1.0 - dy * dy);
    return EllipseSpan { static_cast<std::int32_t>(std::ceil(m_centreX - reach)),
        static_cast<std::int32_t>(std::floor(m_centreX + reach)) };
}

} // namespace forms
