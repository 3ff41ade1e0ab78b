// The eye tracking, driven tick by tick in-process with the real pointer
// and read back from the figure's off-screen image.
#include "Application.h"
#include "TestWindows.h"
#include "fZevozOdudo.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> g_allocations { 0 };

} // namespace

// Counts every allocation of this test program, to show that a tick makes none.
void* operator new(std::size_t size)
{
    ++g_allocations;
    if (void* memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

struct FigureProbe {
    static std::int32_t RightEyeX(const fZevozOdudo& f) { return f.RightEyeX; }
    static std::int32_t LeftEyeY(const fZevozOdudo& f) { return f.LeftEyeY; }
};

namespace {

constexpr COLORREF Red = 255;
constexpr COLORREF Black = 0;
constexpr int WindowX = 200;
constexpr int WindowY = 150;

struct PupilCase {
    const char* name;
    int dx, dy;          // pointer offset from the left eye's centre, pixels
    double leftX, leftY; // where the left pupil's centre belongs
};

class EyeTrackingTest : public testing::Test {
protected:
    void SetUp() override
    {
        peerkin::test::ResetDispatch();
        figure = fZevozOdudo::Instance();
        figure->SetTop(WindowY * forms::Screen::TwipsPerPixelY());
        figure->SetLeft(WindowX * forms::Screen::TwipsPerPixelX());
    }
    void TearDown() override
    {
        figure->Unload();
        figure.reset();
        fZevozOdudo::ReleaseInstance();
        peerkin::test::ResetDispatch();
    }

    void TickWithPointerAt(int x, int y)
    {
        peerkin::test::MoveCursorTo(x, y);
        figure->tmr_Timer();
    }

    // The centre of the black pixels within 17 px of an eye's centre.
    std::pair<double, double> PupilCentre(int eyeX, int eyeY)
    {
        double sumX = 0, sumY = 0, count = 0;
        for (int y = eyeY - 17; y <= eyeY + 17; ++y)
            for (int x = eyeX - 17; x <= eyeX + 17; ++x)
                if ((x - eyeX) * (x - eyeX) + (y - eyeY) * (y - eyeY) <= 17 * 17
                    && figure->Point(static_cast<float>(x), static_cast<float>(y)) == Black) {
                    sumX += x;
                    sumY += y;
                    ++count;
                }
        return count ? std::make_pair(sumX / count, sumY / count) : std::make_pair(-1.0, -1.0);
    }

    std::shared_ptr<fZevozOdudo> figure;
};

TEST_F(EyeTrackingTest, LeftPupilSitsTenPixelsTowardThePointer)
{
    const PupilCase cases[] = {
        { "on the centre pixel", 0, 0, 52, 118 },
        { "one pixel right", 1, 0, 62, 118 },
        { "3 right, 4 down", 3, 4, 58, 126 },
        { "straight above", 0, -40, 52, 108 },
        { "half-way to the right eye", 43, 0, 62, 118 },
        { "far to the left", -900, 0, 42, 118 },
    };
    for (const PupilCase& c : cases) {
        TickWithPointerAt(WindowX + 52 + c.dx, WindowY + 118 + c.dy);
        auto [x, y] = PupilCentre(52, 118);
        EXPECT_NEAR(x, c.leftX, 0.75) << c.name;
        EXPECT_NEAR(y, c.leftY, 0.75) << c.name;
    }
}

TEST_F(EyeTrackingTest, HalfWayBetweenTheEyesThePupilsFaceEachOther)
{
    TickWithPointerAt(WindowX + 95, WindowY + 118);
    auto [rightX, rightY] = PupilCentre(138, 118);
    EXPECT_NEAR(rightX, 128, 0.75);
    EXPECT_NEAR(rightY, 118, 0.75);
}

// Each eye has its own zero-distance rule: without it the direction would
// be 0 / 0 and the tick would fail before drawing.
TEST_F(EyeTrackingTest, PointerOnTheRightEyesCentreCentresItsPupil)
{
    TickWithPointerAt(WindowX + 138, WindowY + 118);
    EXPECT_TRUE(peerkin::test::Dispatched().failures.empty());
    auto [x, y] = PupilCentre(138, 118);
    EXPECT_NEAR(x, 138, 0.75);
    EXPECT_NEAR(y, 118, 0.75);
}

TEST_F(EyeTrackingTest, EyeCentresFollowTheWindowBetweenTicks)
{
    TickWithPointerAt(0, 0);
    EXPECT_EQ(FigureProbe::RightEyeX(*figure), WindowX + 138);
    figure->SetLeft(300 * forms::Screen::TwipsPerPixelX());
    figure->SetTop(20 * forms::Screen::TwipsPerPixelY());
    TickWithPointerAt(0, 0);
    EXPECT_EQ(FigureProbe::RightEyeX(*figure), 300 + 138);
    EXPECT_EQ(FigureProbe::LeftEyeY(*figure), 20 + 118);
}

TEST_F(EyeTrackingTest, NewDiscCoversTheOldPupilCompletely)
{
    TickWithPointerAt(WindowX - 500, WindowY + 118); // pupil far left
    TickWithPointerAt(WindowX + 900, WindowY + 118); // then far right
    auto [x, y] = PupilCentre(52, 118);
    EXPECT_NEAR(x, 62, 0.75);
    for (int px = 34; px <= 46; ++px) // where the old pupil was
        EXPECT_EQ(figure->Point(static_cast<float>(px), 118), Red) << px;
}

TEST_F(EyeTrackingTest, DiscsAreRedOutToTheirRadius)
{
    TickWithPointerAt(WindowX + 52, WindowY + 300); // pupils look down
    for (int eyeX : { 52, 138 }) {
        EXPECT_EQ(figure->Point(static_cast<float>(eyeX - 17), 118), Red);
        EXPECT_EQ(figure->Point(static_cast<float>(eyeX + 17), 118), Red);
        EXPECT_EQ(figure->Point(static_cast<float>(eyeX), 118 - 17), Red);
        EXPECT_NE(figure->Point(static_cast<float>(eyeX + 20), 118), Red);
    }
}

TEST_F(EyeTrackingTest, FillColourOfTheDefinitionNeverShows)
{
    TickWithPointerAt(5, 5);
    for (int y = 0; y < 279; ++y)
        for (int x = 0; x < 193; ++x)
            ASSERT_NE(figure->Point(static_cast<float>(x), static_cast<float>(y)), RGB(192, 255, 255));
}

TEST_F(EyeTrackingTest, TicksAllocateNothing)
{
    TickWithPointerAt(10, 10);
    long before = g_allocations.load();
    for (int tick = 0; tick < 2000; ++tick) {
        peerkin::test::MoveCursorTo(tick % 1000, (tick * 7) % 700);
        figure->tmr_Timer();
    }
    EXPECT_EQ(g_allocations.load() - before, 0);
    EXPECT_TRUE(peerkin::test::Dispatched().failures.empty());
}

TEST_F(EyeTrackingTest, TimerTicksEverySeventyMilliseconds)
{
    figure->Show();
    peerkin::test::MoveCursorTo(WindowX + 52, WindowY + 400);
    peerkin::test::PumpFor(400);
    auto [x, y] = PupilCentre(52, 118);
    EXPECT_NEAR(y, 128, 0.75) << "the timer drew the eyes on its own";
    EXPECT_NEAR(x, 52, 0.75);
}

} // namespace
