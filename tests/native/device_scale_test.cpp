// The conversions between the program's pixels and the screen's device
// pixels, at the scales desktops offer.
#include "DeviceScale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using forms::DeviceScale;

struct ScaleCase {
    double dotsPerInch;
    int windowWidth; // the figure's 193 x 279 program pixels, on the device
    int windowHeight;
    int leftOfPrimary; // program pixel -3 (a monitor left of the primary)
    int farRight; // program pixel 1707
};

class AtScale : public testing::TestWithParam<ScaleCase> { };

TEST_P(AtScale, SizesAndPositionsRoundToTheNearestDevicePixel)
{
    const ScaleCase& scale = GetParam();
    DeviceScale device = DeviceScale::OfDotsPerInch(scale.dotsPerInch);
    EXPECT_EQ(device.ToDevice(193), scale.windowWidth);
    EXPECT_EQ(device.ToDevice(279), scale.windowHeight);
    EXPECT_EQ(device.ToDevice(-3), scale.leftOfPrimary);
    EXPECT_EQ(device.ToDevice(1707), scale.farRight);
}

// A place the program sets must read back unchanged, or a double-click
// would store a place the figure was never at; also where the primary
// monitor's corner is not the screen's.
TEST_P(AtScale, EveryProgramPositionSurvivesTheRoundTrip)
{
    DeviceScale device = DeviceScale::OfDotsPerInch(GetParam().dotsPerInch);
    for (int program = -2000; program <= 2000; ++program) {
        ASSERT_EQ(device.ToProgram(device.ToDevice(program)), program) << program;
        ASSERT_EQ(device.ProgramPlace(device.ToDevice(program) + 1920, 1920), program) << program;
    }
}

// An area converted outward covers each pixel it touches in part, so a
// repaint never leaves a stale device pixel at its edge.
TEST_P(AtScale, AreasRoundOutwardAndCoverThePixelsTheyTouch)
{
    DeviceScale device = DeviceScale::OfDotsPerInch(GetParam().dotsPerInch);
    double factor = device.Factor();
    for (int edge = -50; edge <= 50; ++edge) {
        EXPECT_LE(device.DeviceEdgeBefore(edge), edge * factor);
        EXPECT_GE(device.DeviceEdgeAfter(edge), edge * factor);
        EXPECT_GT(device.DeviceEdgeBefore(edge), edge * factor - 1.0);
        EXPECT_LE(device.ProgramEdgeBefore(device.DeviceEdgeBefore(edge)), edge);
        EXPECT_GE(device.ProgramEdgeAfter(device.DeviceEdgeAfter(edge)), edge);
        forms::PixelEdges program = device.ProgramAreaOf(forms::PixelEdges { edge, edge, edge + 7, edge + 7 });
        EXPECT_LE(program.left * factor, edge);
        EXPECT_LE(program.top * factor, edge);
        EXPECT_GE(program.right * factor, edge + 7);
        EXPECT_GE(program.bottom * factor, edge + 7);
    }
    for (int pixel = -50; pixel <= 50; ++pixel) {
        int program = device.ProgramPixelOf(pixel);
        EXPECT_LE(device.DeviceEdgeBefore(program), pixel) << pixel;
        EXPECT_GT(device.DeviceEdgeAfter(program + 1), pixel) << pixel;
        // The one that holds its centre, where a click lands: not merely a part.
        EXPECT_LE(program * factor, pixel + 0.5) << pixel;
        EXPECT_GT((program + 1) * factor, pixel + 0.5) << pixel;
    }
}

INSTANTIATE_TEST_SUITE_P(Desktops, AtScale,
    testing::Values(ScaleCase { 96, 193, 279, -3, 1707 }, ScaleCase { 120, 241, 349, -4, 2134 },
        ScaleCase { 144, 290, 419, -4, 2561 }, ScaleCase { 192, 386, 558, -6, 3414 },
        ScaleCase { 288, 579, 837, -9, 5121 }));

TEST(DeviceScale, NoUsableDotsPerInchMeansTheProgramsOwnScale)
{
    for (double dotsPerInch : { 0.0, -96.0, std::numeric_limits<double>::quiet_NaN(),
             std::numeric_limits<double>::infinity() })
        EXPECT_TRUE(DeviceScale::OfDotsPerInch(dotsPerInch).IsIdentity()) << dotsPerInch;
}

TEST(DeviceScale, PositionsFarOffTheScreenSaturateInsteadOfWrapping)
{
    DeviceScale device(3.0);
    EXPECT_EQ(device.ToDevice(std::numeric_limits<int>::max()), std::numeric_limits<int>::max());
    EXPECT_EQ(device.ToDevice(std::numeric_limits<int>::min()), std::numeric_limits<int>::min());
}

} // namespace
