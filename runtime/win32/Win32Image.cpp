#include "Win32Image.h"

#include "Failure.h"

#include <algorithm>

namespace forms {
namespace {

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

} // namespace

Win32Image::Win32Image(int width, int height, COLORREF background, HBITMAP picture)
    : OffscreenImage(width, height)
{
    m_dc.Reset(::CreateCompatibleDC(nullptr));
    if (!m_dc)
        Fail(FailureCode::OutOfMemory);
    // A DIB section cannot be empty; a zero-sized area keeps a 1x1 buffer.
    BITMAPINFO info = TopDownInfo(std::max(Width(), 1), std::max(Height(), 1));
    void* bits = nullptr;
    m_bitmap.Reset(::CreateDIBSection(m_dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!m_bitmap || !bits)
        Fail(FailureCode::OutOfMemory);
    m_originalBitmap = ::SelectObject(m_dc.Get(), m_bitmap.Get());
    auto* pixels = static_cast<std::uint32_t*>(bits);
    Fill(pixels, background);
    DrawPicture(picture);
    UsePixels(pixels);
}

Win32Image::~Win32Image()
{
    // The bitmap must leave the DC before either is deleted.
    if (m_dc && m_originalBitmap)
        ::SelectObject(m_dc.Get(), m_originalBitmap);
}

void Win32Image::Fill(std::uint32_t* pixels, COLORREF background)
{
    // A plain colour goes straight into the memory, several times faster
    // than a brush; anything else (a palette entry) is left to the platform.
    if ((background >> 24) == 0) {
        std::fill(pixels, pixels + PixelCount(), ToPixel(background));
        return;
    }
    UniqueBrush brush(::CreateSolidBrush(background));
    RECT all { 0, 0, Width(), Height() };
    ::FillRect(m_dc.Get(), &all, brush.Get());
    ::GdiFlush();
}

void Win32Image::DrawPicture(HBITMAP picture)
{
    if (!picture)
        return;
    BITMAP info {};
    ::GetObjectW(picture, sizeof info, &info);
    UniqueMemoryDc source(::CreateCompatibleDC(m_dc.Get()));
    SelectedObject selected(source.Get(), picture);
    ::BitBlt(m_dc.Get(), 0, 0, info.bmWidth, info.bmHeight, source.Get(), 0, 0, SRCCOPY);
    ::GdiFlush();
}

void Win32Image::DrawEllipse(const RECT& box, COLORREF pen, std::optional<COLORREF> fill)
{
    DrawEllipseOn(m_dc.Get(), box, pen, fill);
    ::GdiFlush(); // pixel reads go straight to the image's memory
}

void Win32Image::CopyTo(HDC target, const RECT& area) const
{
    ::BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, m_dc.Get(), area.left,
        area.top, SRCCOPY);
}

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
