#pragma once
// What the layer's GDI handles stand for. A handle is valid from its
// creation until DeleteObject, or until a window takes it over; the table of
// live objects lets a stale or foreign handle fail instead of crashing.

#include "windows.h"

#include <cstdint>
#include <vector>

struct GdiObject {
    virtual ~GdiObject() = default;
};

// A region: the union of its rectangles, which may overlap.
struct HRGN__ final : GdiObject {
    std::vector<RECT> rects;
};

// A picture: pixels 0x00RRGGBB, row by row from the top.
struct HBITMAP__ final : GdiObject {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> pixels;
    // The picture resource it was loaded from, whose versions for scaled
    // screens a window may show instead; -1 for none.
    int resource = -1;
};

namespace forms::winapi {

// Adds object to the table; returns it as its handle.
HRGN TrackRegion(HRGN__* region);
HBITMAP TrackBitmap(HBITMAP__* bitmap);

// The object behind a live handle, or null.
HRGN__* LiveRegion(HGDIOBJ handle);
HBITMAP__* LiveBitmap(HGDIOBJ handle);

// Copies picture, from its top-left corner and as far as it goes, into the
// width x height pixels row by row at pixels; nothing for a dead handle.
void CopyPicture(HBITMAP picture, std::uint32_t* pixels, int width, int height);

// Removes a live region from the table and hands it to the caller; null
// for anything else.
HRGN__* TakeRegion(HRGN handle);

// The number of live GDI objects: tests check that none leaks.
std::size_t LiveGdiObjects();

} // namespace forms::winapi
