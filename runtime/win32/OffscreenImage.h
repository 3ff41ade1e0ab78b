#pragma once
// The off-screen image behind persistent drawing: a 32-bit top-down DIB
// section selected into its own memory device context. Pixels are read
// straight from its memory, so a full scan costs no platform calls.

#include "Handles.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace forms {

class OffscreenImage {
public:
    // An image of width x height pixels in background, with picture (may be
    // null) drawn from the top-left corner at its own size.
    OffscreenImage(int width, int height, COLORREF background, HBITMAP picture);
    ~OffscreenImage();

    OffscreenImage(const OffscreenImage&) = delete;
    OffscreenImage& operator=(const OffscreenImage&) = delete;

    HDC Dc() const { return m_dc.Get(); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    // The colour at (x, y), or CLR_INVALID outside the image. Inline: a
    // scan of the whole image reads it for every pixel.
    COLORREF PixelAt(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= m_width || y >= m_height)
            return CLR_INVALID;
        std::uint32_t pixel = m_bits[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width)
            + static_cast<std::size_t>(x)];
        // The DIB holds 0x00RRGGBB; a colour reference is 0x00BBGGRR.
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }

    // Copies the rectangle area of the image to the same place of target.
    void CopyTo(HDC target, const RECT& area) const;

    // The bounding box of the pixels within area that differ from what was
    // last shown, now recorded as shown; empty when nothing changed. Lets a
    // window repaint only what a drawing really changed.
    RECT TakeChanges(const RECT& area);

private:
    void Fill(COLORREF background);
    void DrawPicture(HBITMAP picture);

    int m_width;
    int m_height;
    std::uint32_t* m_bits = nullptr;
    std::vector<std::uint32_t> m_shown; // the pixels as the window last showed them
    UniqueMemoryDc m_dc;
    UniqueBitmap m_bitmap;
    HGDIOBJ m_originalBitmap = nullptr;
};

} // namespace forms
