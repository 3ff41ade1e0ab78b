#pragma once
// Lights the face like polished metal and lays it over the background.

#include "Raster.h"

namespace figure_art {

struct FigureRender {
    Image surface;    // the lit face colour at every pixel, ignoring the outline
    Field coverage;   // how much of each pixel the face covers, 0..1
    Image picture;    // the face over the background, outline smoothed
};

// The figure at its own size, 194 x 280.
FigureRender renderFigure();
// The same face drawn for a screen of `scale` device pixels per figure
// pixel: every shape is worked out at that resolution, nothing enlarged.
FigureRender renderFigureAt(double scale);

}  // namespace figure_art
