#pragma once
// Pictures and icons from the bytes of their files, for platforms that do
// not read them themselves. Portable: no platform headers. Every read is
// checked against the file's length, so a damaged file gives nothing
// rather than a read past its end.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace forms {

// Pixels row by row from the top, each 0xAARRGGBB (alpha 0xFF where the
// file has none).
struct PixelImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> pixels;
};

// An uncompressed 24- or 32-bit BMP file; nullopt for anything else.
std::optional<PixelImage> ReadBitmapFile(std::span<const std::uint8_t> file);

// The 32-bit images of an ICO file, in the file's order; images of other
// depths are left out.
std::vector<PixelImage> ReadIconImages(std::span<const std::uint8_t> file);

} // namespace forms
