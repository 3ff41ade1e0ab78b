#include "X11Image.h"

#include "DevicePlane.h"
#include "GdiObjects.h"
#include "ScaledPictures.h"
#include "Resources.h"
#include "X11Connection.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <bit>

namespace forms::x11 {

using posix::LiveBitmap;
using posix::PictureForScale;
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

PixelBox BoxOf(const RECT& r) { return PixelBox { r.left, r.top, r.right, r.bottom }; }

} // namespace

X11Image::X11Image(int width, int height, COLORREF background, HBITMAP picture, DeviceScale scale)
    : OffscreenImage(width, height)
    , m_scale(scale)
    , m_storage(PixelCount(), ToPixel(background))
{
    DrawPicture(picture);
    UsePixels(m_storage.data());
    m_program = Plane { m_storage.data(), Width(), Height() };
    m_shown = m_program;
    if (m_scale.IsIdentity())
        return;
    m_shown.width = m_scale.ToDevice(Width());
    m_shown.height = m_scale.ToDevice(Height());
    m_deviceStorage.assign(static_cast<std::size_t>(m_shown.width) * static_cast<std::size_t>(m_shown.height),
        ToPixel(background));
    m_shown.pixels = m_deviceStorage.data();
    DrawDevicePicture(picture);
}

void X11Image::DrawPicture(HBITMAP picture)
{
    posix::CopyPicture(picture, m_storage.data(), Width(), Height());
}

// The picture as drawn for this scale where the program carries such a
// version, else its own pixels brought to the device's size.
void X11Image::DrawDevicePicture(HBITMAP picture)
{
    const HBITMAP__* bitmap = LiveBitmap(picture);
    if (!bitmap || bitmap->width <= 0 || bitmap->height <= 0)
        return;
    std::optional<PixelImage> source;
    if (bitmap->resource >= 0)
        source = PictureForScale(bitmap->resource, m_scale.Factor());
    if (!source || source->pixels.empty())
        source = PixelImage { bitmap->width, bitmap->height, bitmap->pixels };
    PixelImage device = DevicePicture(*source, m_scale.ToDevice(bitmap->width), m_scale.ToDevice(bitmap->height));
    int rows = std::min(device.height, m_shown.height);
    int columns = std::min(device.width, m_shown.width);
    for (int y = 0; y < rows; ++y) {
        const std::uint32_t* from = device.pixels.data() + static_cast<std::ptrdiff_t>(y) * device.width;
        std::uint32_t* to = m_shown.pixels + static_cast<std::ptrdiff_t>(y) * m_shown.width;
        std::copy(from, from + columns, to);
    }
}

std::uint32_t X11Image::DevicePixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_shown.width || y >= m_shown.height)
        return 0;
    return m_shown.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_shown.width)
        + static_cast<std::size_t>(x)];
}

// At the device's resolution the ellipse is drawn a second time, finer.
void X11Image::DrawEllipse(const RECT& box, COLORREF pen, std::optional<COLORREF> fill)
{
    std::optional<std::uint32_t> fillPixel;
    if (fill)
        fillPixel = ToPixel(*fill);
    PixelBox programBox = BoxOf(box);
    PixelBox inner { programBox.left + 1, programBox.top + 1, programBox.right - 1, programBox.bottom - 1 };
    DrawEllipseOnPlane(PixelPlane { m_program.pixels, m_program.width, m_program.height }, programBox, inner,
        ToPixel(pen), fillPixel);
    if (!m_scale.IsIdentity())
        DrawEllipseAtScale(
            PixelPlane { m_shown.pixels, m_shown.width, m_shown.height }, m_scale, programBox, ToPixel(pen), fillPixel);
}

RECT X11Image::DeviceArea(const RECT& area) const
{
    return RECT { m_scale.DeviceEdgeBefore(area.left), m_scale.DeviceEdgeBefore(area.top),
        m_scale.DeviceEdgeAfter(area.right), m_scale.DeviceEdgeAfter(area.bottom) };
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
        static_cast<unsigned>(m_shown.width), static_cast<unsigned>(m_shown.height), 32, 0);
}

void X11Image::CopyTo(::Window window, ::GC gc, const RECT& programArea) const
{
    RECT area = DeviceArea(programArea);
    int left = std::max<LONG>(area.left, 0);
    int top = std::max<LONG>(area.top, 0);
    int right = std::min<LONG>(area.right, m_shown.width);
    int bottom = std::min<LONG>(area.bottom, m_shown.height);
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
            auto* pixels = reinterpret_cast<char*>(m_shown.pixels);
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
    std::vector<std::uint32_t> converted(
        static_cast<std::size_t>(m_shown.width) * static_cast<std::size_t>(m_shown.height));
    XImage* image = NewXImage(visual, depth, reinterpret_cast<char*>(converted.data()));
    if (!image)
        return;
    for (int row = top; row < bottom; ++row)
        for (int column = left; column < right; ++column)
            XPutPixel(image, column, row, VisualPixel(visual, DevicePixel(column, row)));
    XPutImage(x.Display(), window, gc, image, left, top, left, top, width, height);
    image->data = nullptr; // the vector's, not X's to free
    XDestroyImage(image);
}

} // namespace forms::x11
