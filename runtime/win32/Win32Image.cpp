#include "Win32Image.h"

#include "Failure.h"
#include "ScaledPictures.h"

#include <algorithm>

namespace forms {
namespace {

// Enough for every ellipse one tick of the figure draws, several times over;
// beyond it the oldest goes, which a drawing that covers its own rarely misses.
constexpr std::size_t MostEllipsesKept = 64;

BITMAPINFO TopDownInfo(int width, int height)
{
    BITMAPINFO info {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down: row 0 first in memory
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

PixelEdges BoxOf(const RECT& rect) { return PixelEdges { rect.left, rect.top, rect.right, rect.bottom }; }

// The pixels of a picture handle, 0x00RRGGBB; nothing for a handle that is
// not a picture.
PixelImage PixelsOf(HBITMAP picture)
{
    BITMAP info {};
    if (!::GetObjectW(picture, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return PixelImage {};
    PixelImage image { info.bmWidth, info.bmHeight, {} };
    image.pixels.resize(static_cast<std::size_t>(info.bmWidth) * static_cast<std::size_t>(info.bmHeight));
    BITMAPINFO format = TopDownInfo(info.bmWidth, info.bmHeight);
    WindowDc screen(nullptr);
    if (!::GetDIBits(screen.Get(), picture, 0, static_cast<UINT>(info.bmHeight), image.pixels.data(), &format,
            DIB_RGB_COLORS))
        return PixelImage {};
    return image;
}

} // namespace

Win32Image::Surface::Surface(int width, int height)
{
    m_dc.Reset(::CreateCompatibleDC(nullptr));
    if (!m_dc)
        Fail(FailureCode::OutOfMemory);
    // A DIB section cannot be empty; a zero-sized area keeps a 1x1 buffer.
    BITMAPINFO info = TopDownInfo(std::max(width, 1), std::max(height, 1));
    void* bits = nullptr;
    m_bitmap.Reset(::CreateDIBSection(m_dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!m_bitmap || !bits)
        Fail(FailureCode::OutOfMemory);
    m_originalBitmap = ::SelectObject(m_dc.Get(), m_bitmap.Get());
    m_plane = PixelPlane { static_cast<std::uint32_t*>(bits), std::max(width, 0), std::max(height, 0) };
}

Win32Image::Surface::~Surface()
{
    // The bitmap must leave the DC before either is deleted.
    if (m_dc && m_originalBitmap)
        ::SelectObject(m_dc.Get(), m_originalBitmap);
}

void Win32Image::Surface::Fill(COLORREF background)
{
    // A plain colour goes straight into the memory, several times faster
    // than a brush; anything else (a palette entry) is left to the platform.
    if ((background >> 24) == 0) {
        std::fill_n(m_plane.pixels, static_cast<std::size_t>(m_plane.width) * static_cast<std::size_t>(m_plane.height),
            ToPixel(background));
        return;
    }
    UniqueBrush brush(::CreateSolidBrush(background));
    RECT all { 0, 0, m_plane.width, m_plane.height };
    ::FillRect(m_dc.Get(), &all, brush.Get());
    ::GdiFlush();
}

Win32Image::Win32Image(int width, int height, COLORREF background, HBITMAP picture)
    : OffscreenImage(width, height)
    , m_program(Width(), Height())
    , m_background(background)
    , m_picture(picture)
{
    m_program.Fill(background);
    DrawPicture(picture);
    UsePixels(m_program.Plane().pixels);
    m_drawn.reserve(MostEllipsesKept);
}

Win32Image::~Win32Image() = default;

void Win32Image::DrawPicture(HBITMAP picture)
{
    if (!picture)
        return;
    BITMAP info {};
    ::GetObjectW(picture, sizeof info, &info);
    UniqueMemoryDc source(::CreateCompatibleDC(m_program.Dc()));
    SelectedObject selected(source.Get(), picture);
    ::BitBlt(m_program.Dc(), 0, 0, info.bmWidth, info.bmHeight, source.Get(), 0, 0, SRCCOPY);
    ::GdiFlush();
}

void Win32Image::DrawEllipse(const RECT& box, COLORREF pen, std::optional<COLORREF> fill)
{
    DrawEllipseOn(m_program.Dc(), box, pen, fill);
    ::GdiFlush(); // pixel reads go straight to the image's memory
    std::optional<std::uint32_t> fillPixel;
    if (fill)
        fillPixel = ToPixel(*fill);
    Ellipse ellipse { BoxOf(box), ToPixel(pen), fillPixel };
    Remember(ellipse);
    if (m_device)
        DrawEllipseAtScale(m_device->Plane(), m_scale, ellipse.box, ellipse.pen, ellipse.fill);
}

// Without allocating: the list keeps its room once it has it.
void Win32Image::Remember(const Ellipse& ellipse)
{
    if (ellipse.fill) {
        auto covered = [&](const Ellipse& old) { return EllipseCovers(ellipse.box, old.box); };
        m_drawn.erase(std::remove_if(m_drawn.begin(), m_drawn.end(), covered), m_drawn.end());
    }
    if (m_drawn.size() == MostEllipsesKept)
        m_drawn.erase(m_drawn.begin());
    m_drawn.push_back(ellipse);
}

void Win32Image::ShowAtScale(const DeviceScale& scale, int pictureResource) const
{
    if (scale.Factor() == m_scale.Factor())
        return;
    m_scale = scale;
    m_device.reset();
    if (scale.IsIdentity())
        return;
    m_device = std::make_unique<Surface>(scale.ToDevice(Width()), scale.ToDevice(Height()));
    m_device->Fill(m_background);
    DrawDevicePicture(pictureResource);
    for (const Ellipse& ellipse : m_drawn)
        DrawEllipseAtScale(m_device->Plane(), m_scale, ellipse.box, ellipse.pen, ellipse.fill);
}

// The picture as drawn for this scale where the program carries such a
// version, else its own pixels brought to the device's size.
void Win32Image::DrawDevicePicture(int pictureResource) const
{
    PixelImage own = PixelsOf(m_picture);
    if (own.pixels.empty())
        return;
    std::optional<PixelImage> source;
    if (pictureResource != 0)
        source = PictureForScale(pictureResource, m_scale.Factor());
    if (!source || source->pixels.empty())
        source = std::move(own);
    PixelImage device = DevicePicture(*source, m_scale.ToDevice(own.width), m_scale.ToDevice(own.height));
    PixelPlane plane = m_device->Plane();
    int columns = std::min(device.width, plane.width);
    for (int y = 0; y < std::min(device.height, plane.height); ++y)
        std::copy_n(device.pixels.begin() + static_cast<std::ptrdiff_t>(y) * device.width, columns,
            plane.pixels + static_cast<std::ptrdiff_t>(y) * plane.width);
}

void Win32Image::CopyTo(HDC target, const RECT& area) const
{
    RECT device { m_scale.DeviceEdgeBefore(area.left), m_scale.DeviceEdgeBefore(area.top),
        m_scale.DeviceEdgeAfter(area.right), m_scale.DeviceEdgeAfter(area.bottom) };
    CopyDevicePixels(target, device);
}

void Win32Image::CopyDevicePixels(HDC target, const RECT& area) const
{
    HDC source = m_device ? m_device->Dc() : m_program.Dc();
    ::BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, source, area.left, area.top,
        SRCCOPY);
}

PixelPlane Win32Image::ShownPlane() const { return m_device ? m_device->Plane() : m_program.Plane(); }

void DrawEllipseOn(HDC dc, const RECT& box, COLORREF pen, std::optional<COLORREF> fill)
{
    // The stock DC pen and brush take a colour without creating GDI objects,
    // so drawing allocates nothing.
    SelectedObject selectedPen(dc, ::GetStockObject(DC_PEN));
    SelectedObject selectedBrush(dc, ::GetStockObject(fill ? DC_BRUSH : NULL_BRUSH));
    ::SetDCPenColor(dc, pen);
    if (fill)
        ::SetDCBrushColor(dc, *fill);
    ::SetROP2(dc, R2_COPYPEN);
    ::Ellipse(dc, box.left, box.top, box.right, box.bottom);
}

} // namespace forms
