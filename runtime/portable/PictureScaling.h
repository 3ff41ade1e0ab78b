#pragma once
// A picture made for one screen scale brought to another: each new pixel is
// the average of the old pixels it covers, weighted by how much of it each
// covers, so that a finer picture keeps its detail when made smaller.
// Portable: no platform headers.

#include "ImageFiles.h"

#include <cstdint>

namespace forms {

// source resampled to width x height (each at least 1). No pixel that takes
// in anything but keyColour comes out as exactly keyColour: a window cut to
// the pixels that are not its background colour keeps every such pixel.
// An empty image for a source without pixels.
PixelImage ResampledPicture(const PixelImage& source, int width, int height, std::uint32_t keyColour);

} // namespace forms
