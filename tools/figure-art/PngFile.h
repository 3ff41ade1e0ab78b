#pragma once

#include "Raster.h"

#include <cstdint>
#include <vector>

namespace figure_art {

// An 8-bit RGBA PNG, compressed the same way every time and with no time
// stamp, so the same image always gives the same bytes. Empty if libpng fails.
std::vector<std::uint8_t> encodePng(const RgbaImage& image);

}  // namespace figure_art
