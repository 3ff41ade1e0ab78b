// Which ellipses a filled one draws over wholly: a device plane drawn again
// at another scale replays only the ellipses still showing, so an ellipse
// forgotten while any of it shows would vanish from the new drawing.
#include "DevicePlane.h"

#include <gtest/gtest.h>

namespace {

using forms::PixelEdges;

struct CoverCase {
    const char* name;
    PixelEdges outer;
    PixelEdges inner;
    bool covers;
};

class Covers : public testing::TestWithParam<CoverCase> { };

TEST_P(Covers, OnlyEllipsesWhollyInsideAreDrawnOver)
{
    EXPECT_EQ(forms::EllipseCovers(GetParam().outer, GetParam().inner), GetParam().covers);
}

// The figure's eye disc (radius 17.8 round (52, 118)) and its pupils (7).
INSTANTIATE_TEST_SUITE_P(Ellipses, Covers,
    testing::Values(CoverCase { "SameDisc", { 34, 100, 71, 137 }, { 34, 100, 71, 137 }, true },
        CoverCase { "PupilTenToTheRight", { 34, 100, 71, 137 }, { 55, 111, 70, 126 }, true },
        CoverCase { "PupilTenDiagonally", { 34, 100, 71, 137 }, { 52, 104, 67, 119 }, true },
        CoverCase { "PupilReachingOut", { 34, 100, 71, 137 }, { 57, 111, 72, 126 }, false },
        CoverCase { "DiscOverItsPupil", { 55, 111, 70, 126 }, { 34, 100, 71, 137 }, false },
        CoverCase { "CircleAtAWideEllipsesEnd", { 0, 0, 40, 10 }, { 0, 0, 10, 10 }, false }),
    [](const testing::TestParamInfo<CoverCase>& tried) { return tried.param.name; });

} // namespace
