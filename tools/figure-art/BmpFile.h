#pragma once

#include "Raster.h"

#include <cstdint>
#include <vector>

namespace figure_art {

// A 24-bit, uncompressed, bottom-up Windows bitmap file.
std::vector<std::uint8_t> encodeBmp24(const Image& image);

}  // namespace figure_art
