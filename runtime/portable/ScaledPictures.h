#pragma once
// The program's pictures drawn for scaled screens (2 for 200%), built in
// beside the picture drawn for 96 dots per inch, and the choice among them
// for a screen's scale. Every back-end that shows a scale uses the same.
// Portable: no platform headers.

#include "ImageFiles.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace forms {

// Makes known the picture file (a BMP file's bytes) of picture resource id as
// drawn for scale; returns true, so that a file building the pictures in can
// register them from a static initialiser.
bool RegisterScaledPicture(int id, double scale, std::span<const std::uint8_t> bytes);

// The pixels of picture id to bring to a screen of scale: of the versions
// registered and unscaled (the file drawn for scale 1, where there is one),
// the least scale at or above the screen's, since a finer picture brought
// down keeps its detail and a coarser one brought up only grows; else the
// largest. nullopt when there is none.
std::optional<PixelImage> PictureForScale(
    int id, double scale, std::optional<std::span<const std::uint8_t>> unscaled = std::nullopt);

// drawn brought to width x height, each new pixel the average of those it
// covers, keeping its top-left pixel's colour (the background the window is
// cut by) out of every other pixel, and without alpha.
PixelImage DevicePicture(const PixelImage& drawn, int width, int height);

} // namespace forms
