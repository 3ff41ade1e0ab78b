#pragma once
// The application icon: the same face in small, with red eyes, in the
// Windows icon's three sizes and the desktop theme's seven.

#include "FigureShading.h"
#include "Raster.h"

#include <cstdint>
#include <vector>

namespace figure_art {

// One image of the icon file, already encoded as a DIB (header, palette,
// colour bits, AND mask).
struct IconImage {
    int size = 0;
    int bitsPerPixel = 0;
    std::vector<std::uint8_t> dib;
};

inline constexpr int kIconPaletteSize = 16;
inline constexpr std::uint8_t kIconRedIndex = 9;

// The classic 16-colour display palette, as R, G, B.
inline constexpr Rgb kIconPalette[kIconPaletteSize] = {
    {0x00, 0x00, 0x00}, {0x80, 0x00, 0x00}, {0x00, 0x80, 0x00}, {0x80, 0x80, 0x00},
    {0x00, 0x00, 0x80}, {0x80, 0x00, 0x80}, {0x00, 0x80, 0x80}, {0xC0, 0xC0, 0xC0},
    {0x80, 0x80, 0x80}, {0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00}, {0xFF, 0xFF, 0x00},
    {0x00, 0x00, 0xFF}, {0xFF, 0x00, 0xFF}, {0x00, 0xFF, 0xFF}, {0xFF, 0xFF, 0xFF},
};

// The face at `size` x `size` over a transparent background, eyes painted.
RgbaImage renderIconFace(const FigureRender& figure, int size);

std::vector<std::uint8_t> encodeDib32(const RgbaImage& image);
// Four bits per pixel with the 16-colour palette; fully transparent pixels
// become mask pixels, everything else opaque.
std::vector<std::uint8_t> encodeDib4(const RgbaImage& image);

// How many pixels the 16-colour image of `image` leaves to the mask.
int transparentPixelsIn16Colours(const RgbaImage& image);

std::vector<std::uint8_t> encodeIco(const std::vector<IconImage>& images);

// The sizes of the desktop's theme icons, the Windows icon's three among them.
inline constexpr int kDesktopIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// The 16, 32 (16-colour) and 48 pixel images the program ships with.
std::vector<std::uint8_t> buildPeerkinIcon(const FigureRender& figure);

}  // namespace figure_art
