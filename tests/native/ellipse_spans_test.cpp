// The ellipses the X11 build draws the eyes with.
#include "EllipseSpans.h"

#include <gtest/gtest.h>

namespace {

using forms::EllipseSpan;
using forms::EllipseSpans;

struct BoxCase {
    int left, top, right, bottom;
};

class EllipseBoxes : public testing::TestWithParam<BoxCase> { };

// Every row lies within the box, and the shape is symmetric about the box's
// centre both ways, as a circle drawn round a pixel must be.
TEST_P(EllipseBoxes, StaysInItsBoxAndIsSymmetric)
{
    BoxCase box = GetParam();
    EllipseSpans spans(box.left, box.top, box.right, box.bottom);
    int filledRows = 0;
    for (int y = box.top - 2; y < box.bottom + 2; ++y) {
        EllipseSpan row = spans.Row(y);
        EllipseSpan mirror = spans.Row(box.top + box.bottom - 1 - y);
        EXPECT_EQ(row.IsEmpty(), mirror.IsEmpty()) << y;
        if (row.IsEmpty())
            continue;
        ++filledRows;
        EXPECT_GE(y, box.top);
        EXPECT_LT(y, box.bottom);
        EXPECT_GE(row.first, box.left) << y;
        EXPECT_LT(row.last, box.right) << y;
        EXPECT_EQ(row.first - box.left, box.right - 1 - row.last) << "row " << y << " not symmetric";
        EXPECT_EQ(row.first, mirror.first) << y;
    }
    EXPECT_EQ(filledRows, box.bottom - box.top) << "every row of the box has pixels";
}

INSTANTIATE_TEST_SUITE_P(Boxes, EllipseBoxes,
    testing::Values(BoxCase { 34, 100, 71, 137 }, // an eye: radius 17.8 round (52, 118)
        BoxCase { 45, 111, 60, 126 }, // a pupil: radius 7
        BoxCase { 0, 0, 1, 1 }, BoxCase { -5, -5, 6, 6 }, BoxCase { 10, 10, 30, 14 }));

TEST(EllipseSpans, TheEyesWidestRowSpansItsBox)
{
    EllipseSpans eye(34, 100, 71, 137);
    EllipseSpan middle = eye.Row(118);
    EXPECT_EQ(middle.first, 34);
    EXPECT_EQ(middle.last, 70);
    EllipseSpan top = eye.Row(100);
    EXPECT_GT(top.first, 45) << "the top row is short, not square";
}

TEST(EllipseSpans, EmptyOrInvertedBoxesHaveNoPixels)
{
    for (BoxCase box : { BoxCase { 5, 5, 5, 10 }, BoxCase { 5, 5, 10, 5 }, BoxCase { 10, 10, 5, 5 } }) {
        EllipseSpans spans(box.left, box.top, box.right, box.bottom);
        for (int y = 0; y < 15; ++y)
            EXPECT_TRUE(spans.Row(y).IsEmpty()) << y;
    }
}

} // namespace
