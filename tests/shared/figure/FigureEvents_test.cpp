// The figure's load, button and double-click handling on its real window,
// with its real picture.
#include "Failure.h"
#include "FigurePlacement.h"
#include "FigureWindowTest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace {

using peerkin::test::Button;
using peerkin::test::DeliverPress;
using peerkin::test::Dispatched;
using peerkin::test::DoubleClick;
using peerkin::test::DragWatch;
using peerkin::test::FigureWindow;
using peerkin::test::NonEmptyLines;
using peerkin::test::OnTheFace;
using peerkin::test::ReadFileBytes;
using peerkin::test::WindowRegionRects;
using peerkin::test::WriteFileBytes;

bool RegionCovers(HWND window, int x, int y)
{
    std::optional<std::vector<RECT>> rects = WindowRegionRects(window);
    if (!rects)
        return true; // no region: the whole window shows
    for (const RECT& rect : *rects)
        if (x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom)
            return true;
    return false;
}

// --- Load --------------------------------------------------------------

TEST_F(FigureWindow, LoadCutsTheWindowToTheFace)
{
    HWND window = LoadedFigure()->Handle();

    ASSERT_TRUE(WindowRegionRects(window).has_value()) << "the window was not cut";
    for (POINT corner : { POINT { 0, 0 }, POINT { 192, 0 }, POINT { 0, 278 }, POINT { 192, 278 } })
        EXPECT_FALSE(RegionCovers(window, corner.x, corner.y)) << corner.x << ", " << corner.y;
    EXPECT_TRUE(RegionCovers(window, 52, 118)) << "left eye";
    EXPECT_TRUE(RegionCovers(window, 138, 118)) << "right eye";
}

TEST_F(FigureWindow, LoadMakesTheWindowTopMostWithoutShowingIt)
{
    HWND window = LoadedFigure()->Handle();

    EXPECT_TRUE(peerkin::test::IsTopMost(window));
    EXPECT_FALSE(peerkin::test::IsShown(window));
}

TEST_F(FigureWindow, LoadCentresTheWindowAcrossAndAt0Point425OfTheScreenHeight)
{
    POINT screen = peerkin::test::ScreenPixels();
    if (!AtFifteenTwipsPerPixel() || screen.x != 1024 || screen.y != 768)
        GTEST_SKIP() << "worked out for a 1024 x 768 screen at 96 dots per inch";

    RECT rect = WindowRect(LoadedFigure()->Handle());

    // 11520 x 0.85 = 9792 halves to 4896, 4185 to 2092: 2804 twips is pixel 186.9.
    EXPECT_EQ(rect.top, 187);
    // 15360 halves to 7680, 2895 to 1447: 6233 twips is pixel 415.5.
    EXPECT_EQ(rect.left, 416);
    EXPECT_EQ(rect.right - rect.left, 193);
    EXPECT_EQ(rect.bottom - rect.top, 279);
}

struct PlacementCase {
    const char* name;
    float screen;
    float window;
    std::int32_t top;
    std::int32_t left;
};

std::ostream& operator<<(std::ostream& out, const PlacementCase& placement) { return out << placement.name; }

class LoadPlacement : public testing::TestWithParam<PlacementCase> {};

TEST_P(LoadPlacement, HalvesRoundedSizesWithoutTheirRemainder)
{
    EXPECT_EQ(FigurePlacement::LoadTop(GetParam().screen, GetParam().window), GetParam().top);
    EXPECT_EQ(FigurePlacement::LoadLeft(GetParam().screen, GetParam().window), GetParam().left);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Sizes, LoadPlacement, testing::Values(
    // 85 halves to 42 and 7 to 3, not 4; across, 50 - 3.
    PlacementCase { "OddSizesLoseTheirHalf", 100.0f, 7.0f, 39, 47 },
    PlacementCase { "FigureHeightOn768PixelScreen", 11520.0f, 4185.0f, 4896 - 2092, 5760 - 2092 },
    // 101 x 0.85 = 85.85 rounds up to 86 before halving; 7.6 rounds to 8.
    PlacementCase { "RoundedBeforeHalving", 101.0f, 7.6f, 43 - 4, 50 - 4 },
    // 30 x 0.85 = 25.5 rounds to 26 and 7.4 to 7: to the nearest, neither
    // truncated nor rounded up. (Halves to even and halves up agree once
    // halved.)
    PlacementCase { "HalfWayAndBelowHalfRoundToTheNearest", 30.0f, 7.4f, 13 - 3, 15 - 3 },
    PlacementCase { "WindowLargerThanScreen", 100.0f, 207.0f, 42 - 103, 50 - 103 },
    PlacementCase { "NothingToPlace", 0.0f, 0.0f, 0, 0 }),
    [](const testing::TestParamInfo<PlacementCase>& param) { return std::string(param.param.name); });
// clang-format on

TEST(LoadPlacementLimits, SizeTooLargeForA32BitWholeNumberFails)
{
    constexpr float Huge = 3.0e9f;
    constexpr float Infinite = std::numeric_limits<float>::infinity();
    EXPECT_THROW(FigurePlacement::LoadTop(Huge, 7.0f), forms::RuntimeFailure);
    EXPECT_THROW(FigurePlacement::LoadTop(100.0f, Huge), forms::RuntimeFailure);
    EXPECT_THROW(FigurePlacement::LoadLeft(Huge, 7.0f), forms::RuntimeFailure);
    EXPECT_THROW(FigurePlacement::LoadTop(Infinite, 7.0f), forms::RuntimeFailure);
    EXPECT_THROW(FigurePlacement::LoadTop(std::nanf(""), 7.0f), forms::RuntimeFailure);
    EXPECT_THROW(FigurePlacement::LoadLeft(100.0f, -Infinite), forms::RuntimeFailure);
}

TEST(LoadPlacementLimits, ScreenHeightTimesTheFactorIsRoundedNotTheScreenHeight)
{
    // 2.5e9 itself is too large for 32 bits, but 0.85 of it is not.
    EXPECT_EQ(FigurePlacement::LoadTop(2.5e9f, 0.0f), 1062500000);
}

// --- Mouse buttons -----------------------------------------------------

struct ButtonCase {
    const char* name;
    Button button;
    unsigned held;
    bool secondClick; // the second press of a double-click with this button
};

std::ostream& operator<<(std::ostream& out, const ButtonCase& button) { return out << button.name; }

void Deliver(HWND window, const ButtonCase& press)
{
    if (press.secondClick)
        peerkin::test::DeliverDoubleClick(window, press.button, OnTheFace);
    else
        DeliverPress(window, press.button, OnTheFace, press.held);
}

class FigureButton : public FigureWindow, public testing::WithParamInterface<ButtonCase> {};

class OtherButton : public FigureButton {};

TEST_P(OtherButton, DoesNothing)
{
    HWND window = LoadedFigure()->Handle();
    MoveWindowTo(window, 100, 50);
    DragWatch watch(window);
    peerkin::test::CapturePointer(window);

    Deliver(window, GetParam());

    EXPECT_TRUE(watch.HandOvers().empty());
    EXPECT_TRUE(peerkin::test::HoldsPointer(window)) << "the capture was released";
    RECT rect = WindowRect(window);
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.top, 50);
    EXPECT_TRUE(Dispatched().failures.empty());
    ::ReleaseCapture();
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Messages, OtherButton, testing::Values(
    ButtonCase { "Right", Button::Right, peerkin::test::Nothing, false },
    ButtonCase { "Middle", Button::Middle, peerkin::test::Nothing, false },
    ButtonCase { "RightWithLeftHeld", Button::Right, peerkin::test::LeftButtonHeld, false },
    ButtonCase { "RightSecondClick", Button::Right, peerkin::test::Nothing, true },
    ButtonCase { "MiddleSecondClick", Button::Middle, peerkin::test::Nothing, true }),
    [](const testing::TestParamInfo<ButtonCase>& param) { return std::string(param.param.name); });
// clang-format on

class LeftButton : public FigureButton {};

TEST_P(LeftButton, HandsTheWindowToThePlatformsMoveAsATitleBarPress)
{
    HWND window = LoadedFigure()->Handle();
    DragWatch watch(window);
    peerkin::test::CapturePointer(window);

    Deliver(window, GetParam());

    ASSERT_EQ(watch.HandOvers().size(), 1u);
    EXPECT_EQ(watch.HandOvers()[0].hitTest, static_cast<WPARAM>(HTCAPTION));
    EXPECT_EQ(watch.HandOvers()[0].position, 0);
    EXPECT_FALSE(watch.HandOvers()[0].pointerHeld) << "the capture must end before the move starts";
    EXPECT_TRUE(Dispatched().failures.empty());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Modifiers, LeftButton, testing::Values(
    ButtonCase { "Plain", Button::Left, peerkin::test::Nothing, false },
    ButtonCase { "Shift", Button::Left, peerkin::test::ShiftKey, false },
    ButtonCase { "Ctrl", Button::Left, peerkin::test::ControlKey, false },
    ButtonCase { "ShiftCtrlAndRightHeld", Button::Left,
        peerkin::test::ShiftKey | peerkin::test::ControlKey | peerkin::test::RightButtonHeld, false }),
    [](const testing::TestParamInfo<ButtonCase>& param) { return std::string(param.param.name); });
// clang-format on

TEST_F(FigureWindow, EveryLeftPressStartsItsOwnMove)
{
    HWND window = LoadedFigure()->Handle();
    DragWatch watch(window);

    for (int press = 0; press < 3; ++press)
        DeliverPress(window, Button::Left, OnTheFace);

    EXPECT_EQ(watch.HandOvers().size(), 3u);
}

// --- Double-click ------------------------------------------------------

struct StoredPlace {
    int x; // pixels
    int y;
    std::vector<std::string> lines;
};

std::ostream& operator<<(std::ostream& out, const StoredPlace& place) { return out << place.x << ", " << place.y; }

class DoubleClickAt : public DoubleClick, public testing::WithParamInterface<StoredPlace> {};

TEST_P(DoubleClickAt, WritesTopThenLeftInTwipsAndEnds)
{
    if (!AtFifteenTwipsPerPixel())
        GTEST_SKIP() << "worked out for 96 dots per inch";
    UseSettingsFile(m_iniFile);
    HWND window = LoadedFigure()->Handle();
    MoveWindowTo(window, GetParam().x, GetParam().y);

    DoubleClickOn(window);

    EXPECT_EQ(NonEmptyLines(ReadFileBytes(m_iniFile)), GetParam().lines);
    EXPECT_EQ(Dispatched().endRequests, 1);
    EXPECT_TRUE(Dispatched().failures.empty());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Places, DoubleClickAt, testing::Values(
    StoredPlace { 16, -10, { "[Orlo's Peerkin]", "Top=-150", "Left=240" } },
    StoredPlace { 416, 187, { "[Orlo's Peerkin]", "Top=2805", "Left=6240" } },
    StoredPlace { 0, 0, { "[Orlo's Peerkin]", "Top=0", "Left=0" } }));
// clang-format on

TEST_F(DoubleClick, ReplacesStoredValuesInPlace)
{
    if (!AtFifteenTwipsPerPixel())
        GTEST_SKIP() << "worked out for 96 dots per inch";
    WriteFileBytes(m_iniFile, "[Orlo's Peerkin]\r\nTop=1\r\nLeft=2\r\n");
    UseSettingsFile(m_iniFile);
    HWND window = LoadedFigure()->Handle();
    MoveWindowTo(window, 2, 3);

    DoubleClickOn(window);

    EXPECT_EQ(NonEmptyLines(ReadFileBytes(m_iniFile)),
        (std::vector<std::string> { "[Orlo's Peerkin]", "Top=45", "Left=30" }));
}

TEST_F(DoubleClick, ReadOnlyFileIsLeftAloneAndTheProgramStillEnds)
{
    const std::string stored = "[Orlo's Peerkin]\r\nTop=1\r\nLeft=2\r\n";
    WriteFileBytes(m_iniFile, stored);
    ASSERT_TRUE(peerkin::test::MakeReadOnly(m_iniFile));
    if (peerkin::test::CanOpenForWriting(m_iniFile))
        GTEST_SKIP() << "this platform lets the file be written anyway (run as root)";
    UseSettingsFile(m_iniFile);
    HWND window = LoadedFigure()->Handle();
    MoveWindowTo(window, 20, 30);

    DoubleClickOn(window);

    EXPECT_EQ(ReadFileBytes(m_iniFile), stored);
    EXPECT_TRUE(Dispatched().failures.empty());
    EXPECT_EQ(Dispatched().endRequests, 1);
}

TEST_F(DoubleClick, SettingsPathThatIsAFolderStillEndsTheProgram)
{
    ASSERT_TRUE(peerkin::test::CreateFolder(m_iniFile));
    UseSettingsFile(m_iniFile);
    HWND window = LoadedFigure()->Handle();

    DoubleClickOn(window);

    EXPECT_TRUE(peerkin::test::IsFolder(m_iniFile));
    EXPECT_TRUE(Dispatched().failures.empty());
    EXPECT_EQ(Dispatched().endRequests, 1);
}

TEST_F(DoubleClick, NoHandlerRunsOnceTheProgramEnds)
{
    UseSettingsFile(m_iniFile);
    HWND window = LoadedFigure()->Handle();
    MoveWindowTo(window, 2, 3);
    DoubleClickOn(window);
    std::string written = ReadFileBytes(m_iniFile);
    MoveWindowTo(window, 40, 50);
    DragWatch watch(window);

    DoubleClickOn(window);
    DeliverPress(window, Button::Left, OnTheFace);

    EXPECT_EQ(ReadFileBytes(m_iniFile), written);
    EXPECT_EQ(Dispatched().endRequests, 1);
    EXPECT_TRUE(watch.HandOvers().empty());
}

} // namespace
