#pragma once
// The Win32 off-screen image: a 32-bit top-down DIB section selected into
// its own memory device context. GDI draws into it; its memory is the
// pixels the shared image reads, so a full scan costs no platform calls.
//
// Shown at a screen scale, the image keeps a second plane for the window:
// the device pixels, with the picture drawn for that scale and every
// ellipse drawn again at the device's resolution. At scale 1 the program's
// pixels are the ones shown.

#include "DevicePlane.h"
#include "DeviceScale.h"
#include "OffscreenImage.h"
#include "Win32Handles.h"

#include <memory>
#include <vector>

namespace forms {

class Win32Image final : public OffscreenImage {
public:
    Win32Image(int width, int height, COLORREF background, HBITMAP picture);
    ~Win32Image() override;

    void DrawEllipse(const RECT& box, COLORREF pen, std::optional<COLORREF> fill) override;

    // Shows the image at scale from now on: its device plane is drawn again
    // for it, with the version of picture resource pictureResource (0:
    // none) drawn for the scale where the program carries one. The picture
    // the image was made with must still be alive.
    void ShowAtScale(const DeviceScale& scale, int pictureResource) const;
    // Copies the device pixels under area (program pixels) to the same
    // place of target.
    void CopyTo(HDC target, const RECT& area) const;
    // Copies the device pixels of deviceArea to the same place of target.
    void CopyDevicePixels(HDC target, const RECT& deviceArea) const;
    // The pixels the window shows.
    PixelPlane ShownPlane() const;

private:
    // A DIB section selected into a memory device context of its own.
    class Surface {
    public:
        Surface(int width, int height);
        ~Surface();
        Surface(const Surface&) = delete;
        Surface& operator=(const Surface&) = delete;
        HDC Dc() const { return m_dc.Get(); }
        PixelPlane Plane() const { return m_plane; }
        void Fill(COLORREF background);

    private:
        UniqueMemoryDc m_dc;
        UniqueBitmap m_bitmap;
        HGDIOBJ m_originalBitmap = nullptr;
        PixelPlane m_plane;
    };
    struct Ellipse {
        PixelEdges box;
        std::uint32_t pen;
        std::optional<std::uint32_t> fill;
    };

    void DrawPicture(HBITMAP picture);
    void DrawDevicePicture(int pictureResource) const;
    void Remember(const Ellipse& ellipse);

    Surface m_program;
    // What the window shows, made when it first shows the image at a scale.
    mutable std::unique_ptr<Surface> m_device; // at scale 1, none
    mutable DeviceScale m_scale;
    COLORREF m_background;
    HBITMAP m_picture; // the form's, alive as long as its images
    // The ellipses drawn since the picture, less those drawn over since, to
    // draw again at another scale.
    std::vector<Ellipse> m_drawn;
};

// Draws the ellipse inscribed in box on dc: outline in pen, inside in fill
// where there is one.
void DrawEllipseOn(HDC dc, const RECT& box, COLORREF pen, std::optional<COLORREF> fill);

} // namespace forms
