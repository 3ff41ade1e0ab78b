#pragma once
// Drawing for the screen's own pixels, the same for every back-end that
// shows the program's pixels at a screen scale: the ellipses drawn again at
// the device's resolution, and the window's shape refined there by the
// outline of the picture drawn for the device.
// Portable: no platform headers.

#include "DeviceScale.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace forms {

// Pixels 0x00RRGGBB row by row, in memory a back-end owns.
struct PixelPlane {
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;

    std::uint32_t At(int x, int y) const;
};

// The ellipse inscribed in box, its outline the ring between box and inner,
// cut to the plane.
void DrawEllipseOnPlane(
    PixelPlane plane, const PixelEdges& box, const PixelEdges& inner, std::uint32_t pen, std::optional<std::uint32_t> fill);

// The ellipse of programBox (program pixels, a one-pixel outline) drawn on
// device, the plane shown at scale: the same shape made finer, its box and
// the inner edge of its outline scaled, not its pixels enlarged.
void DrawEllipseAtScale(PixelPlane device, const DeviceScale& scale, const PixelEdges& programBox, std::uint32_t pen,
    std::optional<std::uint32_t> fill);

// True when the ellipse inscribed in inner lies wholly within the one
// inscribed in outer, so that outer, filled, covers every pixel of it: a
// drawing that keeps its ellipses to draw again may forget inner then.
// Cautious: it takes the outer ellipse for the circle within it and the
// inner one for the circle round it.
bool EllipseCovers(const PixelEdges& outer, const PixelEdges& inner);

// One row's run of device pixels [first, end) that the window keeps.
struct DeviceSpan {
    int y = 0;
    int first = 0;
    int end = 0;
};

// The shape of a window whose program pixels programRegion keeps (a union of
// boxes of a programWidth x programHeight area), at the device's resolution:
// a device pixel stays where the region holds the program pixel under its
// centre and shown, the device plane, is not its background (its top-left
// pixel) there, as the region was cut from the program's own picture.
std::vector<DeviceSpan> DeviceShape(const std::vector<PixelEdges>& programRegion, int programWidth, int programHeight,
    const DeviceScale& scale, const PixelPlane& shown);

} // namespace forms
