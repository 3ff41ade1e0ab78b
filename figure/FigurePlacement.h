#pragma once
// Where the figure stands when it loads, in twips: centred across the screen,
// its middle at 0.425 of the screen's height. Each size is rounded to a whole
// twip (halves to even) and halved with the remainder dropped, so an odd size
// loses its half twip.

#include <cstdint>

namespace FigurePlacement {

// The top edge for a screen and a window of these heights.
std::int32_t LoadTop(float screenHeight, float windowHeight);
// The left edge for a screen and a window of these widths.
std::int32_t LoadLeft(float screenWidth, float windowWidth);

} // namespace FigurePlacement
