// Which witness of the pointer the eyes believe on a Wayland desktop.
#include "PointerReports.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

using forms::ScreenPoint;

struct Tick {
    ScreenPoint fromX;
    std::optional<ScreenPoint> fromDesktop;
    ScreenPoint shown;
};

struct MergeCase {
    const char* why;
    std::vector<Tick> ticks;
};

class MergedPointer : public testing::TestWithParam<MergeCase> { };

TEST_P(MergedPointer, ShowsTheNewestReport)
{
    forms::PointerMerge merge;
    int number = 0;
    for (const Tick& tick : GetParam().ticks) {
        EXPECT_EQ(merge.Next(tick.fromX, tick.fromDesktop), tick.shown) << GetParam().why << ", tick " << number;
        ++number;
    }
}

constexpr ScreenPoint Exit { 512, 384 }; // where X last saw the pointer

INSTANTIATE_TEST_SUITE_P(Witnesses, MergedPointer,
    testing::Values(
        MergeCase { "without a helper X is followed as on X11",
            { { { 5, 5 }, {}, { 5, 5 } }, { { 9, 7 }, {}, { 9, 7 } } } },
        MergeCase { "over the desktop X is frozen and the helper is believed",
            { { Exit, {}, Exit }, { Exit, ScreenPoint { 10, 10 }, { 10, 10 } }, { Exit, {}, { 10, 10 } } } },
        MergeCase { "a helper's report beats X's move in the same tick: X may be the stale exit point",
            { { { 100, 100 }, {}, { 100, 100 } }, { Exit, ScreenPoint { 1000, 20 }, { 1000, 20 } } } },
        MergeCase { "a helper gone silent leaves X in charge as soon as X sees a move",
            { { Exit, ScreenPoint { 10, 10 }, { 10, 10 } }, { { 600, 300 }, {}, { 600, 300 } } } },
        MergeCase { "a helper that comes back takes over with its first report",
            { { { 1, 2 }, {}, { 1, 2 } }, { { 1, 2 }, ScreenPoint { -50, 40 }, { -50, 40 } } } }),
    [](const auto& param) { return "Case" + std::to_string(param.index); });

} // namespace
