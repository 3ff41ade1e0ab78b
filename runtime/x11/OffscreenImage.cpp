#include "OffscreenImage.h"

#include "EllipseSpans.h"
#include "GdiObjects.h"
#include "XConnection.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <bit>

namespace forms {
namespace {

// A colour reference (0x00BBGGRR) as the image holds it (0x00RRGGBB).
std::uint32_t ToPixel(COLORREF colour)
{
    return (std::uint32_t { GetRValue(colour) } << 16) | (std::uint32_t { GetGValue(colour) } << 8)
        | GetBValue(colour);
}

// True when the screen takes 0x00RRGGBB pixels as they are.
bool TakesPixelsAsTheyAre(::Visual* visual, int depth)
{
    return (depth == 24 || depth == 32) && visual->red_mask == 0xFF0000 && visual->green_mask == 0xFF00
        && visual->blue_mask == 0xFF;
}

// The pixel value of the screen's visual nearest to a 0x00RRGGBB colour.
unsigned long VisualPixel(::Visual* visual, std::uint32_t rgb)
{
    auto scale = [](unsigned long mask, std::uint32_t component) {
        if (mask == 0)
            return 0UL;
        int shift = 0;
        while (!((mask >> shift) & 1))
            ++shift;
        unsigned long maximum = mask >> shift;
        return ((component * maximum + 127) / 255) << shift;
    };
    return scale(visual->red_mask, (rgb >> 16) & 0xFF) | scale(visual->green_mask, (rgb >> 8) & 0xFF)
        | scale(visual->blue_mask, rgb & 0xFF);
}

} // namespace

OffscreenImage::OffscreenImage(int width, int height, COLORREF background, HBITMAP picture)
    : m_width(width > 0 ? width : 0)
    , m_height(height > 0 ? height : 0)
    , m_pixels(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height), ToPixel(background))
{
    DrawPicture(picture);
    m_shown = m_pixels;
}

void OffscreenImage::DrawPicture(HBITMAP picture)
{
    const HBITMAP__* bitmap = x11::LiveBitmap(picture);
    if (!bitmap)
        return;
    int rows = std::min(bitmap->height, m_height);
    int columns = std::min(bitmap->width, m_width);
    for (int y = 0; y < rows; ++y) {
        auto from = bitmap->pixels.begin() + static_cast<std::ptrdiff_t>(y) * bitmap->width;
        std::copy(from, from + columns, m_pixels.begin() + static_cast<std::ptrdiff_t>(Index(0, y)));
    }
}

void OffscreenImage::FillRow(int y, int first, int last, std::uint32_t pixel)
{
    first = std::max(first, 0);
    last = std::min(last, m_width - 1);
    if (y < 0 || y >= m_height || first > last)
        return;
    std::fill(m_pixels.begin() + static_cast<std::ptrdiff_t>(Index(first, y)),
        m_pixels.begin() + static_cast<std::ptrdiff_t>(Index(last, y)) + 1, pixel);
}

void OffscreenImage::DrawEllipse(const RECT& box, COLORREF pen, COLORREF fill)
{
    EllipseSpans outer(box.left, box.top, box.right, box.bottom);
    EllipseSpans inner(box.left + 1, box.top + 1, box.right - 1, box.bottom - 1);
    std::uint32_t penPixel = ToPixel(pen);
    int top = std::max<LONG>(box.top, 0);
    int bottom = std::min<LONG>(box.bottom, m_height);
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
        if (fill != CLR_INVALID)
            FillRow(y, inside.first, inside.last, ToPixel(fill));
    }
}

RECT OffscreenImage::TakeChanges(const RECT& area)
{
    RECT changed { 0, 0, 0, 0 };
    bool any = false;
    int right = std::min<LONG>(area.right, m_width);
    int bottom = std::min<LONG>(area.bottom, m_height);
    for (int y = std::max<LONG>(area.top, 0); y < bottom; ++y) {
        for (int x = std::max<LONG>(area.left, 0); x < right; ++x) {
            std::size_t at = Index(x, y);
            if (m_pixels[at] == m_shown[at])
                continue;
            m_shown[at] = m_pixels[at];
            changed = any ? RECT { std::min<LONG>(changed.left, x), std::min<LONG>(changed.top, y),
                                std::max<LONG>(changed.right, x + 1), std::max<LONG>(changed.bottom, y + 1) }
                          : RECT { x, y, x + 1, y + 1 };
            any = true;
        }
    }
    return changed;
}

void OffscreenImage::CopyTo(unsigned long window, void* gc, const RECT& area) const
{
    int left = std::max<LONG>(area.left, 0);
    int top = std::max<LONG>(area.top, 0);
    int right = std::min<LONG>(area.right, m_width);
    int bottom = std::min<LONG>(area.bottom, m_height);
    if (left >= right || top >= bottom)
        return;
    x11::XConnection& x = x11::XConnection::Get();
    ::Visual* visual = DefaultVisual(x.Display(), x.Screen());
    int depth = DefaultDepth(x.Display(), x.Screen());
    auto width = static_cast<unsigned>(right - left);
    auto height = static_cast<unsigned>(bottom - top);
    XImage* image = XCreateImage(x.Display(), visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
        static_cast<unsigned>(m_width), static_cast<unsigned>(m_height), 32, 0);
    if (!image)
        return;
    std::vector<std::uint32_t> converted;
    if (TakesPixelsAsTheyAre(visual, depth)) {
        image->data = reinterpret_cast<char*>(const_cast<std::uint32_t*>(m_pixels.data()));
        // The pixels are words in the host's byte order; X converts if the
        // server's differs.
        image->byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
    } else {
        converted.resize(m_pixels.size());
        image->data = reinterpret_cast<char*>(converted.data());
        for (int row = top; row < bottom; ++row)
            for (int column = left; column < right; ++column)
                XPutPixel(image, column, row, VisualPixel(visual, m_pixels[Index(column, row)]));
    }
    XPutImage(x.Display(), window, static_cast<::GC>(gc), image, left, top, left, top, width, height);
    image->data = nullptr; // the memory is the image's own, not X's to free
    XDestroyImage(image);
}

} // namespace forms
