#include "X11Image.h"

#include "EllipseSpans.h"
#include "GdiObjects.h"
#include "X11Connection.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <bit>

namespace forms::x11 {

using posix::LiveBitmap;
namespace {

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

X11Image::X11Image(int width, int height, COLORREF background, HBITMAP picture)
    : OffscreenImage(width, height)
    , m_storage(PixelCount(), ToPixel(background))
{
    DrawPicture(picture);
    UsePixels(m_storage.data());
}

void X11Image::DrawPicture(HBITMAP picture)
{
    const HBITMAP__* bitmap = LiveBitmap(picture);
    if (!bitmap)
        return;
    int rows = std::min(bitmap->height, Height());
    int columns = std::min(bitmap->width, Width());
    for (int y = 0; y < rows; ++y) {
        auto from = bitmap->pixels.begin() + static_cast<std::ptrdiff_t>(y) * bitmap->width;
        std::copy(from, from + columns, m_storage.begin() + static_cast<std::ptrdiff_t>(Index(0, y)));
    }
}

void X11Image::FillRow(int y, int first, int last, std::uint32_t pixel)
{
    first = std::max(first, 0);
    last = std::min(last, Width() - 1);
    if (y < 0 || y >= Height() || first > last)
        return;
    std::fill(m_storage.begin() + static_cast<std::ptrdiff_t>(Index(first, y)),
        m_storage.begin() + static_cast<std::ptrdiff_t>(Index(last, y)) + 1, pixel);
}

void X11Image::DrawEllipse(const RECT& box, COLORREF pen, std::optional<COLORREF> fill)
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

X11Image::~X11Image()
{
    if (m_shared) {
        m_shared->data = nullptr; // the memory is the image's own, not X's to free
        XDestroyImage(m_shared);
    }
}

// An X image for this image's memory, in the screen's visual at depth.
XImage* X11Image::NewXImage(::Visual* visual, int depth, char* data) const
{
    X11Connection& x = X11Connection::Get();
    return XCreateImage(x.Display(), visual, static_cast<unsigned>(depth), ZPixmap, 0, data,
        static_cast<unsigned>(Width()), static_cast<unsigned>(Height()), 32, 0);
}

void X11Image::CopyTo(::Window window, ::GC gc, const RECT& area) const
{
    int left = std::max<LONG>(area.left, 0);
    int top = std::max<LONG>(area.top, 0);
    int right = std::min<LONG>(area.right, Width());
    int bottom = std::min<LONG>(area.bottom, Height());
    if (left >= right || top >= bottom)
        return;
    X11Connection& x = X11Connection::Get();
    ::Visual* visual = DefaultVisual(x.Display(), x.Screen());
    int depth = DefaultDepth(x.Display(), x.Screen());
    auto width = static_cast<unsigned>(right - left);
    auto height = static_cast<unsigned>(bottom - top);
    if (TakesPixelsAsTheyAre(visual, depth)) {
        // Described to X once, so that a tick that shows what changed makes
        // nothing new.
        if (!m_shared) {
            auto* pixels = reinterpret_cast<char*>(const_cast<std::uint32_t*>(m_storage.data()));
            m_shared = NewXImage(visual, depth, pixels);
            if (!m_shared)
                return;
            // The pixels are words in the host's byte order; X converts if
            // the server's differs.
            m_shared->byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
        }
        XPutImage(x.Display(), window, gc, m_shared, left, top, left, top, width, height);
        return;
    }
    std::vector<std::uint32_t> converted(m_storage.size());
    XImage* image = NewXImage(visual, depth, reinterpret_cast<char*>(converted.data()));
    if (!image)
        return;
    for (int row = top; row < bottom; ++row)
        for (int column = left; column < right; ++column)
            XPutPixel(image, column, row, VisualPixel(visual, m_storage[Index(column, row)]));
    XPutImage(x.Display(), window, gc, image, left, top, left, top, width, height);
    image->data = nullptr; // the vector's, not X's to free
    XDestroyImage(image);
}

} // namespace forms::x11
