#pragma once
// Pixel types and a plain row-major raster shared by the figure and icon art.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace figure_art {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct Rgba {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 0;
    friend bool operator==(const Rgba&, const Rgba&) = default;
};

// Top-left origin, y grows downwards, as the picture is seen on screen.
template <typename Pixel>
class Raster {
public:
    Raster(int width, int height, Pixel fill)
        : width_(width), height_(height), pixels_(cellCount(width, height), fill) {}

    int width() const { return width_; }
    int height() const { return height_; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    Pixel& at(int x, int y) { return pixels_[index(x, y)]; }
    const Pixel& at(int x, int y) const { return pixels_[index(x, y)]; }

private:
    static std::size_t cellCount(int width, int height) {
        return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    }
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
    }

    int width_;
    int height_;
    std::vector<Pixel> pixels_;
};

using Image = Raster<Rgb>;
using RgbaImage = Raster<Rgba>;
using Field = Raster<double>;

}  // namespace figure_art
