#pragma once
// The face's shape: its outline and the relief that the shading lights.
// Coordinates are picture pixels, top-left origin, pixel centres on integers.

#include "Raster.h"

namespace figure_art {

inline constexpr int kFigureWidth = 194;
inline constexpr int kFigureHeight = 280;

// The window program keys its shape on this exact colour.
inline constexpr Rgb kBackground{0, 1, 43};

struct EyeSocket {
    double centreX;
    double centreY;
    double radius;  // where the dark cavity gives way to the lit rim
};

// The program draws the moving eyes around these centres; the right socket
// is a little wider, which gives the face its lopsided, peering look.
inline constexpr EyeSocket kLeftSocket{52.0, 118.0, 20.0};
inline constexpr EyeSocket kRightSocket{138.0, 118.0, 23.0};

// The outline is symmetric about this column and spans [2, 190] x [1, 277].
inline constexpr double kFaceCentreX = 96.0;
inline constexpr double kFaceHalfWidth = 94.0;
inline constexpr double kFaceTop = 1.0;
inline constexpr double kFaceBottom = 277.0;

double outlineHalfWidthAt(double y);
bool isInsideOutline(double x, double y);

// The pixels of a picture drawn at `scale` times the figure's own size:
// pixel (x, y) covers the square of figure coordinates around
// (toFigure(x), toFigure(y)). At scale 1 the two coincide exactly, so the
// figure's own picture comes out bit for bit the same.
struct PictureGrid {
    explicit PictureGrid(double pictureScale);
    double scale;
    int width;
    int height;
    double toFigure(int pixel) const { return pixel / scale + (1.0 / scale - 1.0) / 2.0; }
};

// Distance from each pixel centre of grid to the outline, in figure pixels:
// positive inside, negative out.
Field signedDistanceToOutline(const PictureGrid& grid);

// The face surface height in pixels is the rounded edge, from the distance
// to the outline, plus the features.
// The edge rises like a quarter circle over the first 30 pixels in from the
// outline, so the rim catches grazing light.
double bevelHeight(double insideDistance);
double featureHeight(double x, double y);

// 1 where the surface is a dark cavity (eye socket), 0 on lit metal.
double socketDarkness(double x, double y);

// How much the mouth slit and nostrils shade the metal, 0..1.
double creaseDarkness(double x, double y);

}  // namespace figure_art
