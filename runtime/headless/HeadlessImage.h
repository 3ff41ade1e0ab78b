#pragma once
// The headless off-screen image, and the surface of a headless window: pixels
// in a vector of our own, drawn into directly.

#include "OffscreenImage.h"

#include <cstdint>
#include <vector>

namespace forms::headless {

class HeadlessImage final : public OffscreenImage {
public:
    HeadlessImage(int width, int height, COLORREF background, HBITMAP picture);

    void DrawEllipse(const RECT& box, COLORREF pen, std::optional<COLORREF> fill) override;

    // Copies the rectangle area of source, cut to both images, to the same
    // place of this one.
    void CopyFrom(const OffscreenImage& source, const RECT& area);

private:
    void DrawPicture(HBITMAP picture);

    std::vector<std::uint32_t> m_storage;
};

} // namespace forms::headless
