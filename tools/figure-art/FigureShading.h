#pragma once
// Lights the face like polished metal and lays it over the background.

#include "Raster.h"

namespace figure_art {

struct FigureRender {
    Image surface;    // the lit face colour at every pixel, ignoring the outline
    Field coverage;   // how much of each pixel the face covers, 0..1
    Image picture;    // the face over the background, outline smoothed
};

FigureRender renderFigure();

}  // namespace figure_art
