#include "ScaledPictures.h"

#include "PictureScaling.h"

#include <vector>

namespace forms {
namespace {

struct ScaledPicture {
    int id;
    double scale;
    std::span<const std::uint8_t> bytes;
};

std::vector<ScaledPicture>& Registered()
{
    static std::vector<ScaledPicture> pictures;
    return pictures;
}

} // namespace

bool RegisterScaledPicture(int id, double scale, std::span<const std::uint8_t> bytes)
{
    Registered().push_back(ScaledPicture { id, scale, bytes });
    return true;
}

std::optional<PixelImage> PictureForScale(int id, double scale, std::optional<std::span<const std::uint8_t>> unscaled)
{
    std::vector<ScaledPicture> candidates;
    if (unscaled)
        candidates.push_back(ScaledPicture { id, 1.0, *unscaled });
    for (const ScaledPicture& picture : Registered())
        if (picture.id == id)
            candidates.push_back(picture);
    const ScaledPicture* covering = nullptr;
    const ScaledPicture* largest = nullptr;
    for (const ScaledPicture& picture : candidates) {
        if (picture.scale >= scale && (!covering || picture.scale < covering->scale))
            covering = &picture;
        if (!largest || picture.scale > largest->scale)
            largest = &picture;
    }
    const ScaledPicture* best = covering ? covering : largest;
    if (!best)
        return std::nullopt;
    return ReadBitmapFile(best->bytes);
}

PixelImage DevicePicture(const PixelImage& drawn, int width, int height)
{
    if (drawn.pixels.empty())
        return PixelImage {};
    PixelImage device = ResampledPicture(drawn, width, height, drawn.pixels.front());
    // The file's alpha plays no part on the screen.
    for (std::uint32_t& pixel : device.pixels)
        pixel &= 0x00FFFFFFU;
    return device;
}

} // namespace forms
