#pragma once
// The X11 off-screen image: pixels in a vector of our own, drawn into
// directly, and put on a window with XPutImage.

#include "OffscreenImage.h"

#include <X11/Xlib.h>

#include <cstdint>
#include <vector>

namespace forms::x11 {

class X11Image final : public OffscreenImage {
public:
    X11Image(int width, int height, COLORREF background, HBITMAP picture);
    ~X11Image() override;

    void DrawEllipse(const RECT& box, COLORREF pen, std::optional<COLORREF> fill) override;

    // Copies the rectangle area of the image to the same place of window
    // through gc.
    void CopyTo(::Window window, ::GC gc, const RECT& area) const;

private:
    XImage* NewXImage(::Visual* visual, int depth, char* data) const;
    void DrawPicture(HBITMAP picture);
    void FillRow(int y, int first, int last, std::uint32_t pixel);

    std::vector<std::uint32_t> m_storage;
    mutable XImage* m_shared = nullptr; // m_storage as X sees it, made at the first copy
};

} // namespace forms::x11
