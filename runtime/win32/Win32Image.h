#pragma once
// The Win32 off-screen image: a 32-bit top-down DIB section selected into
// its own memory device context. GDI draws into it; its memory is the
// pixels the shared image reads, so a full scan costs no platform calls.

#include "OffscreenImage.h"
#include "Win32Handles.h"

namespace forms {

class Win32Image final : public OffscreenImage {
public:
    Win32Image(int width, int height, COLORREF background, HBITMAP picture);
    ~Win32Image() override;

    void DrawEllipse(const RECT& box, COLORREF pen, std::optional<COLORREF> fill) override;

    // Copies the rectangle area of the image to the same place of target.
    void CopyTo(HDC target, const RECT& area) const;

private:
    void Fill(std::uint32_t* pixels, COLORREF background);
    void DrawPicture(HBITMAP picture);

    UniqueMemoryDc m_dc;
    UniqueBitmap m_bitmap;
    HGDIOBJ m_originalBitmap = nullptr;
};

// Draws the ellipse inscribed in box on dc: outline in pen, inside in fill
// where there is one.
void DrawEllipseOn(HDC dc, const RECT& box, COLORREF pen, std::optional<COLORREF> fill);

} // namespace forms
