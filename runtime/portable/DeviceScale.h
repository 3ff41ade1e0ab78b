#pragma once
// How the program's own pixels map onto the screen's device pixels. The
// program counts 96 pixels to the inch at every screen scale, as a program
// unaware of the scale does on Windows; a screen set to s times that (Xft.dpi
// 192 is 2) shows each of the program's pixels as s x s device pixels.
// Portable: no platform headers.

namespace forms {

// An area by its edges, right and bottom outside it.
struct PixelEdges {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

class DeviceScale {
public:
    // The dots per inch the program's arithmetic counts with.
    static constexpr double ProgramDotsPerInch = 96.0;

    // A scale of factor device pixels per program pixel; a factor that is not
    // a finite positive number counts as 1.
    explicit DeviceScale(double factor = 1.0);
    // The scale of a screen of dotsPerInch (a missing or nonsensical value
    // gives 1).
    static DeviceScale OfDotsPerInch(double dotsPerInch);

    double Factor() const { return m_factor; }
    bool IsIdentity() const { return m_factor == 1.0; }

    // A position or length, rounded to the nearest pixel (halves toward +x,
    // so that rounding is the same on both sides of the screen's origin).
    // For every factor of at least 1, ToProgram(ToDevice(p)) == p.
    int ToDevice(int programPixels) const;
    int ToProgram(int devicePixels) const;

    // The edges of an area, rounded outward: an area converted this way
    // covers every pixel that the original covers in part.
    int DeviceEdgeBefore(int programEdge) const;
    int DeviceEdgeAfter(int programEdge) const;
    int ProgramEdgeBefore(int deviceEdge) const;
    int ProgramEdgeAfter(int deviceEdge) const;
    // The program pixels an area of device pixels touches (an uncovered
    // part of the window), its edges rounded outward, so that a repaint
    // leaves no stale device pixel at any edge.
    PixelEdges ProgramAreaOf(const PixelEdges& device) const;

    // The program pixel that holds the centre of device pixel devicePixel.
    int ProgramPixelOf(int devicePixel) const;

    // A position on the screen as the program counts it, from the primary
    // monitor's corner: devicePosition and that corner (deviceOrigin) count
    // from the screen's in device pixels. The corner comes off before the
    // scale, as it is a device position itself.
    int ProgramPlace(int devicePosition, int deviceOrigin) const { return ToProgram(devicePosition - deviceOrigin); }

private:
    double m_factor;
};

} // namespace forms
