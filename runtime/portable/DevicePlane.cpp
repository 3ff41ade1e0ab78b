#include "DevicePlane.h"

#include "EllipseSpans.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace forms {
namespace {

// The pixels of row y from first to last, cut to the plane.
void FillRow(PixelPlane plane, int y, int first, int last, std::uint32_t pixel)
{
    first = std::max(first, 0);
    last = std::min(last, plane.width - 1);
    if (y < 0 || y >= plane.height || first > last)
        return;
    std::uint32_t* row = plane.pixels + static_cast<std::ptrdiff_t>(y) * plane.width;
    std::fill(row + first, row + last + 1, pixel);
}

PixelEdges Scaled(const DeviceScale& scale, const PixelEdges& box)
{
    return PixelEdges { scale.ToDevice(box.left), scale.ToDevice(box.top), scale.ToDevice(box.right),
        scale.ToDevice(box.bottom) };
}

// One flag per program pixel: whether the region holds it.
std::vector<char> RegionMask(const std::vector<PixelEdges>& region, int width, int height)
{
    std::vector<char> inside(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    for (const PixelEdges& box : region) {
        int left = std::max(box.left, 0);
        int right = std::min(box.right, width);
        for (int y = std::max(box.top, 0); y < std::min(box.bottom, height) && left < right; ++y)
            std::fill_n(inside.begin() + static_cast<std::ptrdiff_t>(y) * width + left, right - left, 1);
    }
    return inside;
}

} // namespace

std::uint32_t PixelPlane::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return 0;
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
}

void DrawEllipseOnPlane(
    PixelPlane plane, const PixelEdges& box, const PixelEdges& inner, std::uint32_t pen, std::optional<std::uint32_t> fill)
{
    EllipseSpans outer(box.left, box.top, box.right, box.bottom);
    EllipseSpans within(inner.left, inner.top, inner.right, inner.bottom);
    for (int y = std::max(box.top, 0); y < std::min(box.bottom, plane.height); ++y) {
        EllipseSpan whole = outer.Row(y);
        if (whole.IsEmpty())
            continue;
        EllipseSpan inside = within.Row(y);
        if (inside.IsEmpty()) {
            FillRow(plane, y, whole.first, whole.last, pen);
            continue;
        }
        // The outline is what the whole ellipse has beyond the inner one.
        FillRow(plane, y, whole.first, inside.first - 1, pen);
        FillRow(plane, y, inside.last + 1, whole.last, pen);
        if (fill)
            FillRow(plane, y, inside.first, inside.last, *fill);
    }
}

void DrawEllipseAtScale(PixelPlane device, const DeviceScale& scale, const PixelEdges& programBox, std::uint32_t pen,
    std::optional<std::uint32_t> fill)
{
    PixelEdges inner { programBox.left + 1, programBox.top + 1, programBox.right - 1, programBox.bottom - 1 };
    DrawEllipseOnPlane(device, Scaled(scale, programBox), Scaled(scale, inner), pen, fill);
}

bool EllipseCovers(const PixelEdges& outer, const PixelEdges& inner)
{
    double dx = (outer.left + outer.right - inner.left - inner.right) / 2.0;
    double dy = (outer.top + outer.bottom - inner.top - inner.bottom) / 2.0;
    double outerRadius = std::min(outer.right - outer.left, outer.bottom - outer.top) / 2.0;
    double innerRadius = std::max(inner.right - inner.left, inner.bottom - inner.top) / 2.0;
    return std::sqrt(dx * dx + dy * dy) + innerRadius <= outerRadius;
}

std::vector<DeviceSpan> DeviceShape(const std::vector<PixelEdges>& programRegion, int programWidth, int programHeight,
    const DeviceScale& scale, const PixelPlane& shown)
{
    std::vector<DeviceSpan> spans;
    if (programWidth <= 0 || programHeight <= 0)
        return spans;
    std::vector<char> inside = RegionMask(programRegion, programWidth, programHeight);
    std::uint32_t background = shown.At(0, 0);
    auto keeps = [&](int x, int y) {
        int column = std::min(scale.ProgramPixelOf(x), programWidth - 1);
        int row = std::min(scale.ProgramPixelOf(y), programHeight - 1);
        return inside[static_cast<std::size_t>(row) * static_cast<std::size_t>(programWidth)
                   + static_cast<std::size_t>(column)]
            && shown.At(x, y) != background;
    };
    for (int y = 0; y < shown.height; ++y) {
        for (int x = 0; x < shown.width;) {
            int start = x;
            while (x < shown.width && keeps(x, y))
                ++x;
            if (x > start)
                spans.push_back(DeviceSpan { y, start, x });
            x = std::max(x, start + 1);
        }
    }
    return spans;
}

} // namespace forms
