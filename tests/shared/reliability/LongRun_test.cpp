// Days of running in a minute: the real figure ticks a hundred thousand times
// through its window's own timer message while the pointer moves all over
// the screen, and what the process holds stays where it was. Cutting the
// figure to its outline holds on to nothing but the window's region.
#include "Application.h"
#include "Dispatch.h"
#include "ReliabilitySupport.h"
#include "TestWindows.h"
#include "UniqueGdiObject.h"
#include "cTrimmer.h"
#include "fZevozOdudo.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace {

using peerkin::test::Dispatched;
using peerkin::test::ResetDispatch;
using reliability::Describe;
using reliability::Measure;
using reliability::Report;
using reliability::Resources;

constexpr int WindowX = 300;
constexpr int WindowY = 200;
constexpr int Ticks = 100000;
// Room for the heap's own bookkeeping; a leak of three bytes a tick passes it.
constexpr std::size_t AllowedGrowth = 256 * 1024;
#ifdef PEERKIN_SANITIZED
// The sanitizer keeps a record of every allocation: memory grows by design.
// The unsanitized build of this suite (tools/test-all.sh) checks it.
constexpr bool MemoryTellsOfLeaks = false;
#else
constexpr bool MemoryTellsOfLeaks = true;
#endif

class LongRun : public testing::Test {
protected:
    void SetUp() override
    {
        ResetDispatch();
        figure = fZevozOdudo::Instance();
        figure->SetTop(WindowY * forms::Screen::TwipsPerPixelY());
        figure->SetLeft(WindowX * forms::Screen::TwipsPerPixelX());
        figure->Show();
        peerkin::test::PumpFor(100);
    }
    void TearDown() override
    {
        figure->Unload();
        figure.reset();
        fZevozOdudo::ReleaseInstance();
        ResetDispatch();
    }

    // One tick as the timer delivers it: dispatch, then onto the screen.
    void TickWithPointerAt(int x, int y)
    {
        peerkin::test::MoveCursorTo(x, y);
        peerkin::test::DeliverTimerTick(figure->Handle());
    }

    // A walk over the whole screen that also lands on both eye centres,
    // where the distance is zero.
    void TickAlongTheWalk(int tick)
    {
        if (tick % 1000 == 0)
            TickWithPointerAt(WindowX + 52, WindowY + 118);
        else if (tick % 1000 == 500)
            TickWithPointerAt(WindowX + 138, WindowY + 118);
        else
            TickWithPointerAt((tick * 37) % 1024, (tick * 53) % 768);
    }

    std::shared_ptr<fZevozOdudo> figure;
};

TEST_F(LongRun, HundredThousandTicksHoldObjectsAndMemoryFlat)
{
    for (int tick = 0; tick < 2000; ++tick) // let caches settle first
        TickAlongTheWalk(tick);
    Resources before = Measure();
    auto started = std::chrono::steady_clock::now();

    for (int tick = 0; tick < Ticks; ++tick)
        TickAlongTheWalk(tick);

    auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    Resources after = Measure();
    Report("long run in-process: " + std::to_string(Ticks) + " ticks through the timer message in "
        + std::to_string(static_cast<int>(seconds)) + " s");
    Report("  start: " + Describe(before));
    Report("  end:   " + Describe(after));
    EXPECT_TRUE(Dispatched().failures.empty());
    EXPECT_FALSE(forms::IsEnding());
    EXPECT_EQ(after.gdiObjects, before.gdiObjects);
    EXPECT_EQ(after.userObjects, before.userObjects);
    EXPECT_EQ(after.freeGdiSlots, before.freeGdiSlots);
    if (MemoryTellsOfLeaks) {
        EXPECT_LE(after.privateBytes, before.privateBytes + AllowedGrowth);
    }
    // Still following: the pointer below the left eye pulls its pupil down.
    TickWithPointerAt(WindowX + 52, WindowY + 400);
    EXPECT_EQ(figure->Point(52, 118 + 10), RGB(0, 0, 0));
    EXPECT_EQ(figure->Point(52, 118 - 10), RGB(255, 0, 0));
}

// A plain form showing the figure's own picture, not yet cut to it.
forms::FormDefinition FigurePictureForm()
{
    forms::FormDefinition definition;
    definition.width = 2895;
    definition.height = 4185;
    definition.picture = [] {
        return static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_FIGURE),
            IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    };
    return definition;
}

TEST(TrimmingTheFigure, LeavesNoNewGdiObjectButTheWindowsRegion)
{
    forms::Form form(FigurePictureForm());
    form.Load();
    cTrimmer trimmer;
    Resources before = Measure();
    {
        forms::UniqueRegion one(::CreateRectRgn(0, 0, 1, 1));
        ASSERT_EQ(Measure().freeGdiSlots + 1, before.freeGdiSlots) << "the count of free slots misses an object";
    }

    trimmer.TrimForm(form);

    Resources after = Measure();
    ASSERT_TRUE(peerkin::test::WindowRegionRects(form.Handle())) << "the window was not cut";
    long counted = static_cast<long>(after.gdiObjects) - static_cast<long>(before.gdiObjects);
    long taken = static_cast<long>(before.freeGdiSlots) - static_cast<long>(after.freeGdiSlots);
    Report("TrimForm on the figure's picture: GDI objects counted +" + std::to_string(counted)
        + ", GDI slots taken " + std::to_string(taken));
    // Counted where the platform counts; the region may be the window's own
    // object or, on platforms that copy it, none at all.
    EXPECT_LE(counted, 1);
    EXPECT_GE(taken, 0);
    EXPECT_LE(taken, 1);
    form.Unload();
}

} // namespace
