#include "PictureScaling.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace forms {
namespace {

struct Share {
    int source;
    double weight;
};

// For each new pixel along one axis, the old pixels it covers and how much.
std::vector<std::vector<Share>> SharesAlong(int sourceLength, int length)
{
    std::vector<std::vector<Share>> shares(static_cast<std::size_t>(length));
    double step = static_cast<double>(sourceLength) / length;
    for (int at = 0; at < length; ++at) {
        double begin = at * step;
        double end = begin + step;
        for (int source = static_cast<int>(std::floor(begin)); source < end && source < sourceLength; ++source) {
            double weight = std::min(end, source + 1.0) - std::max(begin, static_cast<double>(source));
            if (weight > 0.0)
                shares[static_cast<std::size_t>(at)].push_back(Share { source, weight / step });
        }
    }
    return shares;
}

std::uint32_t Channel(std::uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

std::uint32_t Averaged(const PixelImage& source, const std::vector<Share>& columns, const std::vector<Share>& rows,
    std::uint32_t keyColour)
{
    double sums[4] = {};
    bool onlyKey = true;
    for (const Share& row : rows) {
        for (const Share& column : columns) {
            std::size_t at = static_cast<std::size_t>(row.source) * static_cast<std::size_t>(source.width)
                + static_cast<std::size_t>(column.source);
            std::uint32_t pixel = source.pixels[at];
            onlyKey = onlyKey && pixel == keyColour;
            for (int channel = 0; channel < 4; ++channel)
                sums[channel] += row.weight * column.weight * Channel(pixel, channel * 8);
        }
    }
    std::uint32_t result = 0;
    for (int channel = 0; channel < 4; ++channel)
        result |= static_cast<std::uint32_t>(std::clamp(std::lround(sums[channel]), 0L, 255L)) << (channel * 8);
    if (result == keyColour && !onlyKey)
        result ^= 0x100; // one step of green: the nearest colour that is not the key
    return result;
}

} // namespace

PixelImage ResampledPicture(const PixelImage& source, int width, int height, std::uint32_t keyColour)
{
    if (source.width <= 0 || source.height <= 0
        || source.pixels.size() != static_cast<std::size_t>(source.width) * static_cast<std::size_t>(source.height))
        return PixelImage {};
    PixelImage result { std::max(width, 1), std::max(height, 1), {} };
    std::vector<std::vector<Share>> columns = SharesAlong(source.width, result.width);
    std::vector<std::vector<Share>> rows = SharesAlong(source.height, result.height);
    result.pixels.reserve(static_cast<std::size_t>(result.width) * static_cast<std::size_t>(result.height));
    for (const std::vector<Share>& row : rows)
        for (const std::vector<Share>& column : columns)
            result.pixels.push_back(Averaged(source, column, row, keyColour));
    return result;
}

} // namespace forms
