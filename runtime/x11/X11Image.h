#pragma once
// The X11 off-screen image: pixels in a vector of our own, drawn into
// directly, and put on a window with XPutImage.
//
// On a scaled screen the image keeps two planes: the program's pixels,
// which the form reads and compares, and the device pixels the window shows,
// with the picture drawn for that scale and every ellipse drawn again at the
// device's resolution. At scale 1 the program's pixels are the ones shown.

#include "DevicePlane.h"
#include "DeviceScale.h"
#include "OffscreenImage.h"

#include <X11/Xlib.h>

#include <cstdint>
#include <vector>

namespace forms::x11 {

class X11Image final : public OffscreenImage {
public:
    // An image of width x height program pixels, shown at scale.
    X11Image(int width, int height, COLORREF background, HBITMAP picture, DeviceScale scale = DeviceScale {});
    ~X11Image() override;

    void DrawEllipse(const RECT& box, COLORREF pen, std::optional<COLORREF> fill) override;

    // Copies the device pixels under area (program pixels) to the same
    // place of window through gc.
    void CopyTo(::Window window, ::GC gc, const RECT& area) const;

    // The device pixels the window shows: their size and colour (0x00RRGGBB).
    int DeviceWidth() const { return m_shown.width; }
    int DeviceHeight() const { return m_shown.height; }
    std::uint32_t DevicePixel(int x, int y) const;
    PixelPlane ShownPlane() const { return PixelPlane { m_shown.pixels, m_shown.width, m_shown.height }; }

private:
    // Pixels row by row, in memory of the image's own.
    struct Plane {
        std::uint32_t* pixels = nullptr;
        int width = 0;
        int height = 0;
    };

    XImage* NewXImage(::Visual* visual, int depth, char* data) const;
    XImage* SharedImage(::Visual* visual, int depth) const;
    XImage* ConvertedImage(::Visual* visual, int depth, int left, int top, int right, int bottom) const;
    void DrawPicture(HBITMAP picture);
    void DrawDevicePicture(HBITMAP picture);
    RECT DeviceArea(const RECT& area) const;

    DeviceScale m_scale;
    std::vector<std::uint32_t> m_storage;
    std::vector<std::uint32_t> m_deviceStorage; // empty at scale 1
    Plane m_program;
    Plane m_shown;
    mutable XImage* m_shared = nullptr; // the shown plane as X sees it, made at the first copy
    // Where the screen does not take the pixels as they are: the shown plane
    // in the screen's visual, made at the first copy.
    mutable std::vector<char> m_convertedStorage;
    mutable XImage* m_converted = nullptr;
};

} // namespace forms::x11
