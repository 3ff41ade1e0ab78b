#include "FaceGeometry.h"

#include "ArtMath.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace figure_art {
namespace {

constexpr double kWidestY = 118.0;    // the face is widest at the eye line
constexpr double kJawTaper = 0.42;    // how much the jaw narrows towards the chin
constexpr double kNoseX = 95.0;       // midway between the socket centres

struct OutlinePoint {
    double x;
    double y;
};

// One side of the outline, top to bottom, dense enough that straight pieces
// between the points stay well under a tenth of a pixel from the true curve.
std::vector<OutlinePoint> outlineSide(double side) {
    constexpr double kStep = 1.0 / 64.0;
    constexpr double kMinimumSpacing = 0.5;
    std::vector<OutlinePoint> points{{kFaceCentreX, kFaceTop}};
    const int stepCount = static_cast<int>((kFaceBottom - kFaceTop) / kStep);
    for (int step = 1; step <= stepCount; ++step) {
        const double y = kFaceTop + kStep * step;
        const OutlinePoint next{kFaceCentreX + side * outlineHalfWidthAt(y), y};
        const OutlinePoint& last = points.back();
        if (step == stepCount || distanceBetween(last.x, last.y, next.x, next.y) >= kMinimumSpacing) {
            points.push_back(next);
        }
    }
    points.push_back({kFaceCentreX, kFaceBottom});
    return points;
}

double distanceToSegment(double x, double y, const OutlinePoint& a, const OutlinePoint& b) {
    const double abx = b.x - a.x;
    const double aby = b.y - a.y;
    const double lengthSquared = abx * abx + aby * aby;
    double along = 0.0;
    if (lengthSquared > 0.0) {
        along = clamp01(((x - a.x) * abx + (y - a.y) * aby) / lengthSquared);
    }
    return distanceBetween(x, y, a.x + along * abx, a.y + along * aby);
}

double distanceToPolyline(double x, double y, const std::vector<OutlinePoint>& points) {
    double nearest = std::numeric_limits<double>::max();
    for (std::size_t i = 1; i < points.size(); ++i) {
        nearest = std::min(nearest, distanceToSegment(x, y, points[i - 1], points[i]));
    }
    return nearest;
}

double domeHeight(double x, double y) {
    const double u = (x - kFaceCentreX) / 120.0;
    const double v = (y - 140.0) / 170.0;
    return 50.0 * (1.0 - u * u - v * v);
}

double socketRelief(const EyeSocket& socket, double x, double y) {
    const double dy = y - socket.centreY;
    const double r = distanceBetween(socket.centreX, socket.centreY, x, y);
    const double bowl = r < socket.radius ? -14.0 * (1.0 - (r / socket.radius) * (r / socket.radius)) : 0.0;
    const double lip = 4.0 * bump((r - (socket.radius + 2.5)) / 4.5);
    const double above = r > 0.0 ? smoothstep(-0.2, 0.8, -dy / r) : 0.0;
    const double brow = 6.0 * bump((r - (socket.radius + 11.0)) / 12.0) * above;
    return bowl + lip + brow;
}

double noseRelief(double x, double y) {
    const double along = clamp01((y - 128.0) / 60.0);
    const double bridgeFade = smoothstep(118.0, 140.0, y) * (1.0 - smoothstep(186.0, 196.0, y));
    const double bridgeWidth = 7.0 + 6.0 * along;
    const double bridge = (4.0 + 7.0 * along) * bridgeFade * bump((x - kNoseX) / bridgeWidth);
    const double tip = 9.0 * bump(distanceBetween(kNoseX, 189.0, x, y) / 15.0);
    const double nostrils = 5.0 * (bump(distanceBetween(kNoseX - 8.0, 197.0, x, y) / 4.5) +
                                   bump(distanceBetween(kNoseX + 8.0, 197.0, x, y) / 4.5));
    return bridge + tip - nostrils;
}

double mouthLineY(double x) {
    const double dx = x - kNoseX;
    return 226.0 - 0.0035 * dx * dx;
}

// Fades the mouth out towards its corners.
double mouthSpan(double x) { return 1.0 - smoothstep(22.0, 34.0, std::abs(x - kNoseX)); }

double mouthRelief(double x, double y) {
    const double line = mouthLineY(x);
    const double groove = -3.0 * bump((y - line) / 3.0);
    const double upperLip = 1.5 * bump((y - (line - 4.0)) / 6.0);
    const double lowerLip = 3.5 * bump((y - (line + 6.0)) / 9.0);
    return (groove + upperLip + lowerLip) * mouthSpan(x);
}

double cheekAndChinRelief(double x, double y) {
    const double cheeks = bump(distanceBetween(46.0, 170.0, x, y) / 36.0) +
                          bump(distanceBetween(146.0, 170.0, x, y) / 36.0);
    const double chin = bump(distanceBetween(kNoseX, 252.0, x, y) / 30.0);
    return 8.0 * cheeks + 5.0 * chin;
}

double cavityOf(const EyeSocket& socket, double x, double y) {
    const double r = distanceBetween(socket.centreX, socket.centreY, x, y);
    return 1.0 - smoothstep(socket.radius - 1.5, socket.radius + 0.5, r);
}

}  // namespace

double outlineHalfWidthAt(double y) {
    if (y <= kFaceTop || y >= kFaceBottom) {
        return 0.0;
    }
    if (y <= kWidestY) {
        const double t = (kWidestY - y) / (kWidestY - kFaceTop);
        return kFaceHalfWidth * std::sqrt(1.0 - t * t);
    }
    const double t = (y - kWidestY) / (kFaceBottom - kWidestY);
    return kFaceHalfWidth * std::sqrt(1.0 - t * t) * (1.0 - kJawTaper * t * t);
}

bool isInsideOutline(double x, double y) { return std::abs(x - kFaceCentreX) < outlineHalfWidthAt(y); }

PictureGrid::PictureGrid(double pictureScale)
    : scale(pictureScale),
      width(static_cast<int>(std::floor(kFigureWidth * pictureScale + 0.5))),
      height(static_cast<int>(std::floor(kFigureHeight * pictureScale + 0.5))) {}

Field signedDistanceToOutline(const PictureGrid& grid) {
    const std::vector<OutlinePoint> left = outlineSide(-1.0);
    const std::vector<OutlinePoint> right = outlineSide(1.0);
    Field distance(grid.width, grid.height, 0.0);
    for (int y = 0; y < grid.height; ++y) {
        for (int x = 0; x < grid.width; ++x) {
            const double px = grid.toFigure(x);
            const double py = grid.toFigure(y);
            // The outline is symmetric, so the nearer side holds the nearest point.
            const auto& side = px < kFaceCentreX ? left : right;
            const double unsignedDistance = distanceToPolyline(px, py, side);
            distance.at(x, y) = isInsideOutline(px, py) ? unsignedDistance : -unsignedDistance;
        }
    }
    return distance;
}

double bevelHeight(double insideDistance) {
    constexpr double kBevelRadius = 30.0;
    const double t = 1.0 - std::min(insideDistance, kBevelRadius) / kBevelRadius;
    return kBevelRadius * std::sqrt(std::max(0.0, 1.0 - t * t));
}

double featureHeight(double x, double y) {
    return domeHeight(x, y) + socketRelief(kLeftSocket, x, y) +
           socketRelief(kRightSocket, x, y) + noseRelief(x, y) + mouthRelief(x, y) + cheekAndChinRelief(x, y);
}

double socketDarkness(double x, double y) {
    return std::max(cavityOf(kLeftSocket, x, y), cavityOf(kRightSocket, x, y));
}

double creaseDarkness(double x, double y) {
    const double slit = 0.8 * bump((y - mouthLineY(x)) / 1.8) * mouthSpan(x);
    const double nostrils = 0.7 * (bump(distanceBetween(kNoseX - 8.0, 197.5, x, y) / 3.5) +
                                   bump(distanceBetween(kNoseX + 8.0, 197.5, x, y) / 3.5));
    return clamp01(slit + nostrils);
}

}  // namespace figure_art
