#include "FigureShading.h"

#include "ArtMath.h"
#include "FaceGeometry.h"

#include <algorithm>
#include <cmath>

namespace figure_art {
namespace {

struct Colour {
    double red = 0.0;
    double green = 0.0;
    double blue = 0.0;
};

Colour scaled(const Colour& c, double factor) { return {c.red * factor, c.green * factor, c.blue * factor}; }
Colour plus(const Colour& a, const Colour& b) { return {a.red + b.red, a.green + b.green, a.blue + b.blue}; }
Colour blend(const Colour& from, const Colour& to, double amount) {
    return {mix(from.red, to.red, amount), mix(from.green, to.green, amount), mix(from.blue, to.blue, amount)};
}

constexpr Colour kSkyTint{0.89, 0.94, 1.0};     // cool light from above
constexpr Colour kFloorTint{0.98, 0.97, 0.95};   // warm bounce from below
constexpr Colour kBackdrop{0.0, 0.02, 0.20};     // the dark-blue room seen at grazing angles
constexpr Colour kCavity{0.05, 0.055, 0.085};    // the bare inside of a socket

// Brightness the metal mirrors from direction `r` (y down, z towards the
// viewer): an overhead softbox, a dark band under the horizon that gives
// chrome its crisp contrast line, and a faintly lit floor.
double studioBrightness(const Vec3& r) {
    const double up = -r.y;
    const double sky = 0.37 + 0.50 * smoothstep(0.05, 0.75, up);
    const double horizonBand = 0.20 * bump((up + 0.22) / 0.22);
    const double floor = 0.12 * smoothstep(0.3, 0.9, -up);
    return sky - horizonBand + floor;
}

double highlights(const Vec3& r) {
    static const Vec3 key = normalised({-0.42, -0.62, 0.66});
    static const Vec3 rim = normalised({0.85, -0.30, -0.25});
    static const Vec3 fill = normalised({0.45, 0.40, 0.80});
    const double keyAlignment = std::max(0.0, dot(r, key));
    const double rimAlignment = std::max(0.0, dot(r, rim));
    const double fillAlignment = std::max(0.0, dot(r, fill));
    return 1.2 * raisedTo(keyAlignment, 64) + 0.22 * raisedTo(keyAlignment, 6) + 0.5 * raisedTo(rimAlignment, 12) +
           0.2 * raisedTo(fillAlignment, 10);
}

Colour metalColour(const Vec3& normal) {
    const double facing = normal.z;
    const Vec3 reflected{2.0 * facing * normal.x, 2.0 * facing * normal.y, 2.0 * facing * facing - 1.0};
    const Colour tint = blend(kFloorTint, kSkyTint, smoothstep(-0.4, 0.2, -reflected.y));
    const Colour room = scaled(tint, studioBrightness(reflected));
    const Colour mirrored = blend(room, kBackdrop, smoothstep(0.55, 1.0, -reflected.z));
    const double shine = highlights(reflected);
    const Colour lit = plus(mirrored, {shine, shine, shine});
    return {clamp01(lit.red), clamp01(lit.green), clamp01(lit.blue)};
}

// Beyond the border a field continues with its edge values.
double clampedValueAt(const Field& field, int x, int y) {
    return field.at(std::clamp(x, 0, field.width() - 1), std::clamp(y, 0, field.height() - 1));
}

// The slopes are per figure pixel, whatever the grid's scale.
Vec3 surfaceNormal(const Field& heights, const PictureGrid& grid, int x, int y) {
    const double span = 2.0 / grid.scale;
    const double slopeX = (clampedValueAt(heights, x + 1, y) - clampedValueAt(heights, x - 1, y)) / span;
    const double slopeY = (clampedValueAt(heights, x, y + 1) - clampedValueAt(heights, x, y - 1)) / span;
    return normalised({-slopeX, -slopeY, 1.0});
}

// Averages each value with its neighbours `radius` steps either way along
// (stepX, stepY).
Field boxAveraged(const Field& source, int radius, int stepX, int stepY) {
    Field result(source.width(), source.height(), 0.0);
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            double sum = 0.0;
            for (int k = -radius; k <= radius; ++k) {
                sum += clampedValueAt(source, x + k * stepX, y + k * stepY);
            }
            result.at(x, y) = sum / (2.0 * radius + 1.0);
        }
    }
    return result;
}

// Three rounds of box averaging come close to a gaussian blur. It softens
// the ridge where the bevels from the two sides of the narrow chin meet.
// Its reach is 2 figure pixels, so as many more device pixels on a finer grid.
Field blurred(Field field, const PictureGrid& grid) {
    const int radius = static_cast<int>(std::floor(2.0 * grid.scale + 0.5));
    for (int round = 0; round < 3; ++round) {
        field = boxAveraged(boxAveraged(field, radius, 1, 0), radius, 0, 1);
    }
    return field;
}

Field reliefField(const Field& distance, const PictureGrid& grid) {
    Field bevels(grid.width, grid.height, 0.0);
    for (int y = 0; y < grid.height; ++y) {
        for (int x = 0; x < grid.width; ++x) {
            bevels.at(x, y) = bevelHeight(std::max(0.0, distance.at(x, y)));
        }
    }
    bevels = blurred(bevels, grid);
    Field heights(grid.width, grid.height, 0.0);
    for (int y = 0; y < grid.height; ++y) {
        for (int x = 0; x < grid.width; ++x) {
            heights.at(x, y) = bevels.at(x, y) + featureHeight(grid.toFigure(x), grid.toFigure(y));
        }
    }
    return heights;
}

std::uint8_t toChannel(double value) {
    return static_cast<std::uint8_t>(std::clamp(value, 0.0, 1.0) * 255.0 + 0.5);
}

Rgb toRgb(const Colour& c) { return {toChannel(c.red), toChannel(c.green), toChannel(c.blue)}; }

Colour fromRgb(const Rgb& c) { return {c.red / 255.0, c.green / 255.0, c.blue / 255.0}; }

// The last few pixels before the outline mirror the dark-blue room behind
// the face, so the edge melts into the background instead of ending on a
// bright line.
double backdropRim(double insideDistance) { return 1.0 - smoothstep(-0.5, 2.5, insideDistance); }

Rgb shadePixel(const Field& heights, const Field& distance, const PictureGrid& grid, int x, int y) {
    const Colour metal = metalColour(surfaceNormal(heights, grid, x, y));
    // Cavities keep a trace of the metal's shading so they read as hollows.
    const Colour hollow = plus(kCavity, scaled(metal, 0.14));
    const double figureX = grid.toFigure(x);
    const double figureY = grid.toFigure(y);
    const Colour socketed = blend(metal, hollow, socketDarkness(figureX, figureY));
    const Colour creased = scaled(socketed, 1.0 - creaseDarkness(figureX, figureY));
    return toRgb(blend(creased, kBackdrop, backdropRim(distance.at(x, y))));
}

// A partly covered pixel must still differ from the background, or the
// window's shape would gain holes along the outline.
Rgb composite(const Rgb& surface, double coverage) {
    if (coverage <= 0.0) {
        return kBackground;
    }
    Rgb mixed = toRgb(blend(fromRgb(kBackground), fromRgb(surface), coverage));
    if (mixed == kBackground) {
        mixed.green = static_cast<std::uint8_t>(kBackground.green + 1);
    }
    return mixed;
}

}  // namespace

FigureRender renderFigure() { return renderFigureAt(1.0); }

FigureRender renderFigureAt(double scale) {
    const PictureGrid grid(scale);
    const Field distance = signedDistanceToOutline(grid);
    const Field heights = reliefField(distance, grid);
    FigureRender render{Image(grid.width, grid.height, kBackground), Field(grid.width, grid.height, 0.0),
                        Image(grid.width, grid.height, kBackground)};
    for (int y = 0; y < grid.height; ++y) {
        for (int x = 0; x < grid.width; ++x) {
            // Coverage is of a device pixel: the distance counted in those.
            const double coverage = clamp01(distance.at(x, y) * scale + 0.5);
            render.surface.at(x, y) = shadePixel(heights, distance, grid, x, y);
            render.coverage.at(x, y) = coverage;
            render.picture.at(x, y) = composite(render.surface.at(x, y), coverage);
        }
    }
    return render;
}

}  // namespace figure_art
