// An X11 form window's shape: the region the trimmer cut, as X Shape
// rectangles, refined at the device's resolution on a scaled screen.
#include "X11Window.h"

#include "GdiObjects.h"
#include "X11Connection.h"
#include "X11Image.h"

#include <X11/extensions/shape.h>

#include <algorithm>
#include <vector>

namespace forms::x11 {
namespace {

// X rectangles have 16-bit corners; a shape only matters within the window.
std::vector<XRectangle> ClippedRectangles(const HRGN__& region, int width, int height)
{
    std::vector<XRectangle> clipped;
    clipped.reserve(region.rects.size());
    for (const RECT& rect : region.rects) {
        LONG left = std::max<LONG>(rect.left, 0);
        LONG top = std::max<LONG>(rect.top, 0);
        LONG right = std::min<LONG>(rect.right, width);
        LONG bottom = std::min<LONG>(rect.bottom, height);
        if (left < right && top < bottom)
            clipped.push_back(XRectangle { static_cast<short>(left), static_cast<short>(top),
                static_cast<unsigned short>(right - left), static_cast<unsigned short>(bottom - top) });
    }
    return clipped;
}

} // namespace

void X11Window::ShapeDeleter::operator()(HRGN__* region) const { delete region; }

void X11Window::SetShape(HRGN__* region)
{
    m_shape.reset(region);
    ApplyShape();
    XFlush(X11Connection::Get().Display());
}

void X11Window::ApplyShape()
{
    X11Connection& x = X11Connection::Get();
    if (!m_shape) {
        XShapeCombineMask(x.Display(), m_xid, ShapeBounding, 0, 0, None, ShapeSet);
        return;
    }
    std::vector<XRectangle> rectangles
        = m_scale.IsIdentity() ? ClippedRectangles(*m_shape, m_width, m_height) : DeviceShape(*m_shape);
    XShapeCombineRectangles(x.Display(), m_xid, ShapeBounding, 0, 0, rectangles.data(),
        static_cast<int>(rectangles.size()), ShapeSet, Unsorted);
}

// On a scaled screen the shape follows the face's outline at the device's
// resolution: a device pixel shows where the program's region holds its
// program pixel and the picture drawn for the device is not its background
// there, as the region was cut from the program's own picture.
std::vector<XRectangle> X11Window::DeviceShape(const HRGN__& region)
{
    std::vector<PixelEdges> boxes;
    for (const RECT& rect : region.rects)
        boxes.push_back(PixelEdges { rect.left, rect.top, rect.right, rect.bottom });
    const auto& image = static_cast<const X11Image&>(m_events.ShownImage());
    PixelPlane shown = image.ShownPlane();
    // X rectangles have 16-bit corners.
    shown.width = std::min(shown.width, static_cast<int>(INT16_MAX));
    shown.height = std::min(shown.height, static_cast<int>(INT16_MAX));
    std::vector<XRectangle> rectangles;
    for (const DeviceSpan& span : forms::DeviceShape(boxes, m_width, m_height, m_scale, shown))
        rectangles.push_back(XRectangle { static_cast<short>(span.first), static_cast<short>(span.y),
            static_cast<unsigned short>(span.end - span.first), 1 });
    return rectangles;
}

} // namespace forms::x11
