#include "GdiObjects.h"

#include <algorithm>
#include <memory>
#include <unordered_map>

namespace forms::winapi {
namespace {

std::unordered_map<const void*, std::unique_ptr<GdiObject>>& Table()
{
    static std::unordered_map<const void*, std::unique_ptr<GdiObject>> table;
    return table;
}

template <typename Object>
Object* Live(HGDIOBJ handle)
{
    auto found = Table().find(handle);
    return found == Table().end() ? nullptr : dynamic_cast<Object*>(found->second.get());
}

template <typename Object>
Object* Track(Object* object)
{
    Table().emplace(object, std::unique_ptr<GdiObject>(object));
    return object;
}

// The number of rectangles with an inside.
std::size_t NonEmpty(const std::vector<RECT>& rects)
{
    return static_cast<std::size_t>(
        std::count_if(rects.begin(), rects.end(), [](const RECT& r) { return r.left < r.right && r.top < r.bottom; }));
}

int Complexity(const HRGN__& region)
{
    std::size_t count = NonEmpty(region.rects);
    return count == 0 ? NULLREGION : count == 1 ? SIMPLEREGION : COMPLEXREGION;
}

} // namespace

HRGN TrackRegion(HRGN__* region) { return Track(region); }
HBITMAP TrackBitmap(HBITMAP__* bitmap) { return Track(bitmap); }
HRGN__* LiveRegion(HGDIOBJ handle) { return Live<HRGN__>(handle); }
HBITMAP__* LiveBitmap(HGDIOBJ handle) { return Live<HBITMAP__>(handle); }

void CopyPicture(HBITMAP picture, std::uint32_t* pixels, int width, int height)
{
    const HBITMAP__* bitmap = LiveBitmap(picture);
    if (!bitmap)
        return;
    int rows = std::min(bitmap->height, height);
    int columns = std::min(bitmap->width, width);
    for (int y = 0; y < rows; ++y) {
        auto from = bitmap->pixels.begin() + static_cast<std::ptrdiff_t>(y) * bitmap->width;
        std::copy(from, from + columns, pixels + static_cast<std::ptrdiff_t>(y) * width);
    }
}

HRGN__* TakeRegion(HRGN handle)
{
    auto found = Table().find(handle);
    if (found == Table().end() || !dynamic_cast<HRGN__*>(found->second.get()))
        return nullptr;
    auto* region = static_cast<HRGN__*>(found->second.release());
    Table().erase(found);
    return region;
}

std::size_t LiveGdiObjects() { return Table().size(); }

} // namespace forms::winapi

using forms::winapi::LiveRegion;

HRGN CreateRectRgn(int left, int top, int right, int bottom)
{
    auto* region = new HRGN__;
    // The platform orders the corners itself; an empty box is an empty region.
    RECT box { std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom) };
    if (box.left < box.right && box.top < box.bottom)
        region->rects.push_back(box);
    return forms::winapi::TrackRegion(region);
}

int CombineRgn(HRGN destination, HRGN source1, HRGN source2, int mode)
{
    HRGN__* target = LiveRegion(destination);
    HRGN__* first = LiveRegion(source1);
    HRGN__* second = LiveRegion(source2);
    if (!target || !first || !second || mode != RGN_OR)
        return ERROR;
    std::vector<RECT> merged;
    merged.reserve(first->rects.size() + second->rects.size());
    merged.insert(merged.end(), first->rects.begin(), first->rects.end());
    merged.insert(merged.end(), second->rects.begin(), second->rects.end());
    target->rects = std::move(merged);
    return forms::winapi::Complexity(*target);
}

BOOL DeleteObject(HGDIOBJ object)
{
    return forms::winapi::Table().erase(object) > 0 ? TRUE : FALSE;
}
