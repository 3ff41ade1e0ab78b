#pragma once
// The off-screen image behind persistent drawing: a form's drawing area as
// 32-bit pixels in memory, which a back-end allocates, draws into and copies
// to the window. What every back-end does the same way lives here: reading
// a pixel straight from memory, and telling which pixels a drawing changed
// since the window last showed them.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace forms {

class OffscreenImage {
public:
    virtual ~OffscreenImage() = default;
    OffscreenImage(const OffscreenImage&) = delete;
    OffscreenImage& operator=(const OffscreenImage&) = delete;

    int Width() const { return m_width; }
    int Height() const { return m_height; }

    // The colour at (x, y), or CLR_INVALID outside the image. Inline: a
    // scan of the whole image reads it for every pixel.
    COLORREF PixelAt(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= m_width || y >= m_height)
            return CLR_INVALID;
        std::uint32_t pixel = m_pixels[Index(x, y)];
        // The image holds 0x00RRGGBB; a colour reference is 0x00BBGGRR.
        return RGB(static_cast<BYTE>(pixel >> 16), static_cast<BYTE>(pixel >> 8), static_cast<BYTE>(pixel));
    }

    // The ellipse inscribed in box [left, right) x [top, bottom): a
    // one-pixel outline in pen, the inside in fill where there is one.
    // Parts outside the image are cut off.
    virtual void DrawEllipse(const RECT& box, COLORREF pen, std::optional<COLORREF> fill) = 0;

    // The bounding box of the pixels within area that differ from what was
    // last shown, now recorded as shown; empty when nothing changed. Lets a
    // window repaint only what a drawing really changed.
    RECT TakeChanges(const RECT& area);

    // A colour reference as the image holds it: 0x00RRGGBB.
    static std::uint32_t ToPixel(COLORREF colour)
    {
        return (std::uint32_t { GetRValue(colour) } << 16) | (std::uint32_t { GetGValue(colour) } << 8)
            | GetBValue(colour);
    }

protected:
    // An image of width x height pixels; negative sizes count as 0.
    OffscreenImage(int width, int height);

    // Hands over the back-end's pixels: Width() x Height() words, row 0
    // first. What they hold at this moment counts as shown.
    void UsePixels(std::uint32_t* pixels);
    std::uint32_t* Pixels() const { return m_pixels; }
    std::size_t Index(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) + static_cast<std::size_t>(x);
    }
    std::size_t PixelCount() const { return static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height); }

private:
    int m_width;
    int m_height;
    std::uint32_t* m_pixels = nullptr;
    std::vector<std::uint32_t> m_shown; // the pixels as the window last showed them
};

// The smallest rectangle holding both; an empty one adds nothing.
RECT UnionOf(const RECT& a, const RECT& b);
// True when rect holds no pixel.
inline bool IsEmptyRect(const RECT& rect) { return rect.left >= rect.right || rect.top >= rect.bottom; }

} // namespace forms
