// The tick's checked arithmetic at the ends of the 32-bit range, where no
// real screen reaches: the window and the cursor are put there through the
// tick's two readings. A failing tick draws nothing, keeps what it wrote so
// far, and the dispatch records the failure and lets no handler run again.
#include "Dispatch.h"
#include "ReliabilitySupport.h"
#include "TestWindows.h"
#include "fZevozOdudo.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

struct FigureProbe {
    // The tick's fields in the order the tick writes them.
    static std::vector<double> Fields(const fZevozOdudo& f)
    {
        return { static_cast<double>(f.LeftEyeX), static_cast<double>(f.LeftEyeY),
            static_cast<double>(f.RightEyeX), static_cast<double>(f.RightEyeY), static_cast<double>(f.CursorPos.x),
            static_cast<double>(f.CursorPos.y), f.LeftDist, f.RightDist };
    }
};

namespace {

using peerkin::test::Dispatched;
using peerkin::test::ResetDispatch;

constexpr std::int32_t Max = INT32_MAX;
constexpr std::int32_t Min = INT32_MIN;

// The figure with its window and cursor where a test says.
class FigureAtTheEdge : public fZevozOdudo {
public:
    RECT rect {};
    POINT cursor {};

protected:
    void ReadWindowRect(RECT& into) override { into = rect; }
    void ReadCursorPos(POINT& into) override { into = cursor; }
};

// What a whole tick would store, worked out in 64 bits: the value a field
// gets, in the order of FigureProbe::Fields.
std::vector<double> WholeTick(const RECT& rect, const POINT& cursor)
{
    auto distance = [&](std::int64_t eyeX, std::int64_t eyeY) {
        double dx = static_cast<double>(eyeX - cursor.x);
        double dy = static_cast<double>(eyeY - cursor.y);
        double d = std::sqrt(dy * dy + dx * dx);
        return d == 0 ? 1.0 : d;
    };
    std::int64_t left = rect.left;
    std::int64_t top = rect.top;
    return { static_cast<double>(left + 52), static_cast<double>(top + 118), static_cast<double>(left + 138),
        static_cast<double>(top + 118), static_cast<double>(cursor.x), static_cast<double>(cursor.y),
        distance(left + 52, top + 118), distance(left + 138, top + 118) };
}

struct EdgeCase {
    const char* name;
    RECT rect;
    POINT cursor;
    int fieldsWritten; // before the failing step; 8 when the tick passes
};

std::ostream& operator<<(std::ostream& out, const EdgeCase& edge) { return out << edge.name; }

// The eye area of the figure's image, where a tick draws.
std::vector<COLORREF> EyePixels(fZevozOdudo& figure)
{
    std::vector<COLORREF> pixels;
    for (int y = 96; y <= 140; ++y)
        for (int x = 30; x <= 160; ++x)
            pixels.push_back(figure.Point(static_cast<float>(x), static_cast<float>(y)));
    return pixels;
}

class TickAtTheEdge : public testing::TestWithParam<EdgeCase> {
protected:
    void SetUp() override
    {
        ResetDispatch();
        figure->Load();
        figure->rect = { 200, 150, 393, 429 }; // an ordinary tick first
        figure->cursor = { 10, 10 };
        Tick();
    }
    void TearDown() override
    {
        figure->Unload();
        ResetDispatch();
    }
    void Tick() { peerkin::test::DeliverTimerTick(figure->Handle()); }

    std::shared_ptr<FigureAtTheEdge> figure = std::make_shared<FigureAtTheEdge>();
};

TEST_P(TickAtTheEdge, FailsWithOverflowExactlyWhereTheRangeEnds)
{
    const EdgeCase& edge = GetParam();
    std::vector<double> before = FigureProbe::Fields(*figure);
    std::vector<COLORREF> drawnBefore = EyePixels(*figure);
    std::vector<double> expected = WholeTick(edge.rect, edge.cursor);
    for (std::size_t field = static_cast<std::size_t>(edge.fieldsWritten); field < expected.size(); ++field)
        expected[field] = before[field];
    figure->rect = edge.rect;
    figure->cursor = edge.cursor;

    Tick();
    reliability::Report(std::string("tick at the 32-bit edge: ") + edge.name + ": "
        + (Dispatched().failures.empty() ? "passed" : "failure " + std::to_string(Dispatched().failures[0].Number())));

    EXPECT_EQ(FigureProbe::Fields(*figure), expected);
    if (edge.fieldsWritten == static_cast<int>(expected.size())) {
        EXPECT_TRUE(Dispatched().failures.empty());
        EXPECT_NE(EyePixels(*figure), drawnBefore) << "the eyes were not drawn again";
        return;
    }
    ASSERT_EQ(Dispatched().failures.size(), 1u);
    EXPECT_EQ(Dispatched().failures[0].Number(), 6) << "Overflow";
    EXPECT_TRUE(forms::IsEnding());
    EXPECT_EQ(EyePixels(*figure), drawnBefore) << "a failed tick drew";
    // The program is ending: the next tick runs no handler.
    figure->rect = { 0, 0, 193, 279 };
    Tick();
    EXPECT_EQ(FigureProbe::Fields(*figure), expected);
    EXPECT_EQ(Dispatched().failures.size(), 1u);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Int32Edges, TickAtTheEdge, testing::Values(
    EdgeCase { "left eye x passes the top", { Max - 51, 150, 0, 0 }, { 10, 10 }, 0 },
    EdgeCase { "eye row passes the top", { 200, Max - 117, 0, 0 }, { 10, 10 }, 1 },
    EdgeCase { "right eye x passes the top", { Max - 137, 150, 0, 0 }, { 10, 10 }, 2 },
    EdgeCase { "cursor at the bottom, row difference", { 200, 150, 0, 0 }, { 10, Min }, 6 },
    EdgeCase { "cursor at the bottom, column difference", { 200, 150, 0, 0 }, { Min, 10 }, 6 },
    EdgeCase { "only the right eye's difference", { 0, 0, 0, 0 }, { -(Max - 100), 0 }, 7 },
    EdgeCase { "window at the bottom, cursor at the top", { Min, Min, 0, 0 }, { Max, Max }, 6 },
    EdgeCase { "right eye on the last value, cursor on it", { Max - 138, Max - 118, 0, 0 }, { Max, Max }, 8 },
    EdgeCase { "window on the first value, cursor beside it", { Min, Min, 0, 0 }, { Min + 60, Min }, 8 }));
// clang-format on

} // namespace
