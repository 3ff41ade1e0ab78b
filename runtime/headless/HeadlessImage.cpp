#include "HeadlessImage.h"

#include "EllipseSpans.h"
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
    posix::CopyPicture(picture, m_storage.data(), Width(), Height());
}

void HeadlessImage::FillRow(int y, int first, int last, std::uint32_t pixel)
{
    first = std::max(first, 0);
    last = std::min(last, Width() - 1);
    if (y < 0 || y >= Height() || first > last)
        return;
    std::fill(m_storage.begin() + static_cast<std::ptrdiff_t>(Index(first, y)),
        m_storage.begin() + static_cast<std::ptrdiff_t>(Index(last, y)) + 1, pixel);
}

void HeadlessImage::DrawEllipse(const RECT& box, COLORREF pen, std::optional<COLORREF> fill)
{
    EllipseSpans outer(box.left, box.top, box.right, box.bottom);
    EllipseSpans inner(box.left + 1, box.top + 1, box.right - 1, box.bottom - 1);
    std::uint32_t penPixel = ToPixel(pen);
    int top = std::max<LONG>(box.top, 0);
    int bottom = std::min<LONG>(box.bottom, Height());
    for (int y = top; y < bottom; ++y) {
        EllipseSpan whole = outer.Row(y);
        if (whole.IsEmpty())
            continue;
        EllipseSpan inside = inner.Row(y);
        if (inside.IsEmpty()) {
            FillRow(y, whole.first, whole.last, penPixel);
            continue;
        }
        // The outline is what the whole ellipse has beyond the inner one.
        FillRow(y, whole.first, inside.first - 1, penPixel);
        FillRow(y, inside.last + 1, whole.last, penPixel);
        if (fill)
            FillRow(y, inside.first, inside.last, ToPixel(*fill));
    }
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
