#pragma once
// The off-screen image behind persistent drawing: pixels in memory, drawn
// into and read directly, copied to the window when it needs painting.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace forms {

class OffscreenImage {
public:
    // An image of width x height pixels in background, with picture (may be
    // null) drawn from the top-left corner at its own size.
    OffscreenImage(int width, int height, COLORREF background, HBITMAP picture);

    OffscreenImage(const OffscreenImage&) = delete;
    OffscreenImage& operator=(const OffscreenImage&) = delete;

    int Width() const { return m_width; }
    int Height() const { return m_height; }

    // The colour at (x, y), or CLR_INVALID outside the image.
    COLORREF PixelAt(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= m_width || y >= m_height)
            return CLR_INVALID;
        std::uint32_t pixel = m_pixels[Index(x, y)];
        // The image holds 0x00RRGGBB; a colour reference is 0x00BBGGRR.
        return RGB(static_cast<BYTE>(pixel >> 16), static_cast<BYTE>(pixel >> 8), static_cast<BYTE>(pixel));
    }

    // The ellipse inscribed in box [left, right) x [top, bottom): a
    // one-pixel outline in pen, the inside in fill unless fill is
    // CLR_INVALID. Parts outside the image are cut off.
    void DrawEllipse(const RECT& box, COLORREF pen, COLORREF fill);

    // Copies the rectangle area of the image to the same place of the X
    // window through gc.
    void CopyTo(unsigned long window, void* gc, const RECT& area) const;

    // The bounding box of the pixels within area that differ from what was
    // last shown, now recorded as shown; empty when nothing changed. Lets a
    // window repaint only what a drawing really changed.
    RECT TakeChanges(const RECT& area);

private:
    std::size_t Index(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) + static_cast<std::size_t>(x);
    }
    void DrawPicture(HBITMAP picture);
    void FillRow(int y, int first, int last, std::uint32_t pixel);

    int m_width;
    int m_height;
    std::vector<std::uint32_t> m_pixels;
    std::vector<std::uint32_t> m_shown; // the pixels as the window last showed them
};

} // namespace forms
