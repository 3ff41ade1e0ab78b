#include "DeviceScale.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace forms {
namespace {

// Screen coordinates far beyond any screen saturate rather than wrap.
int Saturated(double value)
{
    return static_cast<int>(std::clamp(value, static_cast<double>(INT32_MIN), static_cast<double>(INT32_MAX)));
}

int Nearest(double value) { return Saturated(std::floor(value + 0.5)); }

} // namespace

DeviceScale::DeviceScale(double factor)
    : m_factor(std::isfinite(factor) && factor > 0.0 ? factor : 1.0)
{
}

DeviceScale DeviceScale::OfDotsPerInch(double dotsPerInch) { return DeviceScale(dotsPerInch / ProgramDotsPerInch); }

int DeviceScale::ToDevice(int programPixels) const { return Nearest(programPixels * m_factor); }

int DeviceScale::ToProgram(int devicePixels) const { return Nearest(devicePixels / m_factor); }

int DeviceScale::DeviceEdgeBefore(int programEdge) const { return Saturated(std::floor(programEdge * m_factor)); }

int DeviceScale::DeviceEdgeAfter(int programEdge) const { return Saturated(std::ceil(programEdge * m_factor)); }

int DeviceScale::ProgramEdgeBefore(int deviceEdge) const { return Saturated(std::floor(deviceEdge / m_factor)); }

int DeviceScale::ProgramEdgeAfter(int deviceEdge) const { return Saturated(std::ceil(deviceEdge / m_factor)); }

PixelEdges DeviceScale::ProgramAreaOf(const PixelEdges& device) const
{
    return PixelEdges { ProgramEdgeBefore(device.left), ProgramEdgeBefore(device.top), ProgramEdgeAfter(device.right),
        ProgramEdgeAfter(device.bottom) };
}

int DeviceScale::ProgramPixelOf(int devicePixel) const
{
    return Saturated(std::floor((devicePixel + 0.5) / m_factor));
}

} // namespace forms
