#include "X11Image.h"

#include "DevicePlane.h"
#include "GdiObjects.h"
#include "ScaledPictures.h"
#include "Resources.h"
#include "X11Connection.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <bit>
#include <cstring>

namespace forms::x11 {

using winapi::LiveBitmap;
using winapi::PictureForScale;
namespace {

// True when the screen takes 0x00RRGGBB pixels as they are.
bool TakesPixelsAsTheyAre(::Visual* visual, int depth)
{
    return (depth == 24 || depth == 32) && visual->red_mask == 0xFF0000 && visual->green_mask == 0xFF00
        && visual->blue_mask == 0xFF;
}

// Where a screen's visual puts each colour component, worked out once, so
// that converting a pixel costs a few multiplications and shifts.
class VisualPixels {
public:
    explicit VisualPixels(::Visual* visual)
        : m_red(visual->red_mask)
        , m_green(visual->green_mask)
        , m_blue(visual->blue_mask)
    {
    }

    // The pixel value nearest to a 0x00RRGGBB colour.
    unsigned long Of(std::uint32_t rgb) const
    {
        return m_red.Of((rgb >> 16) & 0xFF) | m_green.Of((rgb >> 8) & 0xFF) | m_blue.Of(rgb & 0xFF);
    }

private:
    struct Component {
        explicit Component(unsigned long mask)
        {
            if (mask == 0)
                return;
            while (!((mask >> shift) & 1))
                ++shift;
            maximum = mask >> shift;
        }
        unsigned long Of(std::uint32_t value) const { return ((value * maximum + 127) / 255) << shift; }
        int shift = 0;
        unsigned long maximum = 0;
    };
    Component m_red;
    Component m_green;
    Component m_blue;
};

// Row y of pixels from left to right into image, in its visual's values:
// words of 16 and 32 bits stored straight in the host's order, the rare
// other layouts through Xlib.
void ConvertRow(XImage* image, const VisualPixels& format, const std::uint32_t* pixels, int y, int left, int right)
{
    char* line = image->data + static_cast<std::ptrdiff_t>(y) * image->bytes_per_line;
    for (int x = left; x < right; ++x) {
        unsigned long value = format.Of(pixels[x]);
        if (image->bits_per_pixel == 32) {
            auto word = static_cast<std::uint32_t>(value);
            std::memcpy(line + static_cast<std::ptrdiff_t>(x) * 4, &word, sizeof word);
        } else if (image->bits_per_pixel == 16) {
            auto word = static_cast<std::uint16_t>(value);
            std::memcpy(line + static_cast<std::ptrdiff_t>(x) * 2, &word, sizeof word);
        } else {
            XPutPixel(image, x, y, value);
        }
    }
}

int HostByteOrder() { return std::endian::native == std::endian::little ? LSBFirst : MSBFirst; }

PixelEdges BoxOf(const RECT& r) { return PixelEdges { r.left, r.top, r.right, r.bottom }; }

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
    winapi::CopyPicture(picture, m_storage.data(), Width(), Height());
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
    PixelEdges programBox = BoxOf(box);
    PixelEdges inner { programBox.left + 1, programBox.top + 1, programBox.right - 1, programBox.bottom - 1 };
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
    // The memory of both is the image's own, not X's to free.
    for (XImage* image : { m_shared, m_converted }) {
        if (image) {
            image->data = nullptr;
            XDestroyImage(image);
        }
    }
}

// An X image for this image's memory, in the screen's visual at depth.
XImage* X11Image::NewXImage(::Visual* visual, int depth, char* data) const
{
    X11Connection& x = X11Connection::Get();
    return XCreateImage(x.Display(), visual, static_cast<unsigned>(depth), ZPixmap, 0, data,
        static_cast<unsigned>(m_shown.width), static_cast<unsigned>(m_shown.height), 32, 0);
}

// The shown plane described to X once, so that a tick that shows what
// changed makes nothing new. The pixels are words in the host's byte
// order; X converts if the server's differs.
XImage* X11Image::SharedImage(::Visual* visual, int depth) const
{
    if (!m_shared) {
        m_shared = NewXImage(visual, depth, reinterpret_cast<char*>(m_shown.pixels));
        if (m_shared)
            m_shared->byte_order = HostByteOrder();
    }
    return m_shared;
}

// For a screen that does not take the pixels as they are: an image in its
// visual, made once, into which each copy converts only the rows and
// columns it shows.
XImage* X11Image::ConvertedImage(::Visual* visual, int depth, int left, int top, int right, int bottom) const
{
    if (!m_converted) {
        m_converted = NewXImage(visual, depth, nullptr);
        if (!m_converted)
            return nullptr;
        m_converted->byte_order = HostByteOrder();
        m_convertedStorage.assign(
            static_cast<std::size_t>(m_converted->bytes_per_line) * static_cast<std::size_t>(m_shown.height), 0);
        m_converted->data = m_convertedStorage.data();
    }
    VisualPixels format(visual);
    for (int row = top; row < bottom; ++row)
        ConvertRow(m_converted, format, m_shown.pixels + static_cast<std::ptrdiff_t>(row) * m_shown.width, row, left,
            right);
    return m_converted;
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
    XImage* image = TakesPixelsAsTheyAre(visual, depth) ? SharedImage(visual, depth)
                                                        : ConvertedImage(visual, depth, left, top, right, bottom);
    if (image)
        XPutImage(x.Display(), window, gc, image, left, top, left, top, static_cast<unsigned>(right - left),
            static_cast<unsigned>(bottom - top));
}

} // namespace forms::x11
