#include "OffscreenImage.h"

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

OffscreenImage::OffscreenImage(int width, int height, COLORREF background, HBITMAP picture)
    : m_width(width > 0 ? width : 0)
    , m_height(height > 0 ? height : 0)
{
    m_dc.Reset(::CreateCompatibleDC(nullptr));
    if (!m_dc)
        Fail(FailureCode::OutOfMemory);
    // A DIB section cannot be empty; a zero-sized area keeps a 1x1 buffer.
    BITMAPINFO info = TopDownInfo(m_width > 0 ? m_width : 1, m_height > 0 ? m_height : 1);
    void* bits = nullptr;
    m_bitmap.Reset(::CreateDIBSection(m_dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!m_bitmap || !bits)
        Fail(FailureCode::OutOfMemory);
    m_bits = static_cast<std::uint32_t*>(bits);
    m_originalBitmap = ::SelectObject(m_dc.Get(), m_bitmap.Get());
    Fill(background);
    DrawPicture(picture);
    m_shown.assign(m_bits, m_bits + static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height));
}

OffscreenImage::~OffscreenImage()
{
    // The bitmap must leave the DC before either is deleted.
    if (m_dc && m_originalBitmap)
        ::SelectObject(m_dc.Get(), m_originalBitmap);
}

void OffscreenImage::Fill(COLORREF background)
{
    // A plain colour goes straight into the memory, several times faster
    // than a brush; anything else (a palette entry) is left to the platform.
    if ((background >> 24) == 0) {
        std::uint32_t pixel = (GetRValue(background) << 16) | (GetGValue(background) << 8) | GetBValue(background);
        std::fill(m_bits, m_bits + static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height), pixel);
        return;
    }
    UniqueBrush brush(::CreateSolidBrush(background));
    RECT all { 0, 0, m_width, m_height };
    ::FillRect(m_dc.Get(), &all, brush.Get());
}

void OffscreenImage::DrawPicture(HBITMAP picture)
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

RECT OffscreenImage::TakeChanges(const RECT& area)
{
    RECT changed {};
    int right = area.right < m_width ? area.right : m_width;
    int bottom = area.bottom < m_height ? area.bottom : m_height;
    for (int y = area.top > 0 ? area.top : 0; y < bottom; ++y) {
        std::size_t row = static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width);
        for (int x = area.left > 0 ? area.left : 0; x < right; ++x) {
            std::size_t at = row + static_cast<std::size_t>(x);
            if (m_bits[at] == m_shown[at])
                continue;
            m_shown[at] = m_bits[at];
            RECT pixel { x, y, x + 1, y + 1 };
            ::UnionRect(&changed, &changed, &pixel);
        }
    }
    return changed;
}

void OffscreenImage::CopyTo(HDC target, const RECT& area) const
{
    ::BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, m_dc.Get(), area.left,
        area.top, SRCCOPY);
}

} // namespace forms
