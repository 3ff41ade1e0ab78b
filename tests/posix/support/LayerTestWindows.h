#pragma once
// The test helpers that read a window the same way in every back-end of the
// <windows.h> layer, given the back-end's window behind a live handle (null
// for a stale one).

#include "GdiObjects.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace peerkin::test::layer {

template <typename Window>
std::optional<std::vector<RECT>> RegionRects(Window* window)
{
    if (!window || !window->Shape())
        return std::nullopt;
    std::vector<RECT> rects = window->Shape()->rects;
    std::sort(rects.begin(), rects.end(), [](const RECT& a, const RECT& b) {
        return a.top != b.top ? a.top < b.top : a.left < b.left;
    });
    return rects;
}

template <typename Window>
void TickFirstTimer(Window* window)
{
    if (window)
        window->Tick(0);
}

} // namespace peerkin::test::layer
