#include "HeadlessImage.h"

#include "DevicePlane.h"
#include "GdiObjects.h"

#include <algorithm>

namespace forms::headless {

HeadlessImage::HeadlessImage(int width, int height, COLORREF background, HBITMAP picture)
    : OffscreenImage(width, height)
    , m_storage(PixelCount(), ToPixel(background))
{
    DrawPicture(picture);
    UsePixels(m_storage.data());
}

void HeadlessImage::DrawPicture(HBITMAP picture)
{
    winapi::CopyPicture(picture, m_storage.data(), Width(), Height());
}

// The same fill as the X11 image's, so both back-ends draw the same pixels.
void HeadlessImage::DrawEllipse(const RECT& box, COLORREF pen, std::optional<COLORREF> fill)
{
    std::optional<std::uint32_t> fillPixel;
    if (fill)
        fillPixel = ToPixel(*fill);
    PixelEdges whole { box.left, box.top, box.right, box.bottom };
    PixelEdges inner { whole.left + 1, whole.top + 1, whole.right - 1, whole.bottom - 1 };
    DrawEllipseOnPlane(PixelPlane { m_storage.data(), Width(), Height() }, whole, inner, ToPixel(pen), fillPixel);
}

void HeadlessImage::CopyFrom(const OffscreenImage& source, const RECT& area)
{
    int right = std::min({ static_cast<int>(area.right), Width(), source.Width() });
    int bottom = std::min({ static_cast<int>(area.bottom), Height(), source.Height() });
    for (int y = std::max<LONG>(area.top, 0); y < bottom; ++y)
        for (int x = std::max<LONG>(area.left, 0); x < right; ++x)
            m_storage[Index(x, y)] = ToPixel(source.PixelAt(x, y));
}

} // namespace forms::headless
