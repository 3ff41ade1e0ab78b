#include "OffscreenImage.h"

#include <algorithm>

namespace forms {

OffscreenImage::OffscreenImage(int width, int height)
    : m_width(std::max(width, 0))
    , m_height(std::max(height, 0))
{
}

void OffscreenImage::UsePixels(std::uint32_t* pixels)
{
    m_pixels = pixels;
    m_shown.assign(pixels, pixels + PixelCount());
}

RECT OffscreenImage::TakeChanges(const RECT& area)
{
    RECT changed {};
    int right = std::min<int>(area.right, m_width);
    int bottom = std::min<int>(area.bottom, m_height);
    for (int y = std::max<int>(area.top, 0); y < bottom; ++y) {
        for (int x = std::max<int>(area.left, 0); x < right; ++x) {
            std::size_t at = Index(x, y);
            if (m_pixels[at] == m_shown[at])
                continue;
            m_shown[at] = m_pixels[at];
            changed = UnionOf(changed, RECT { x, y, x + 1, y + 1 });
        }
    }
    return changed;
}

RECT UnionOf(const RECT& a, const RECT& b)
{
    if (IsEmptyRect(a))
        return b;
    if (IsEmptyRect(b))
        return a;
    return RECT { std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
        std::max(a.bottom, b.bottom) };
}

} // namespace forms
