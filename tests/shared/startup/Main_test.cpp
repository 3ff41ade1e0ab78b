// Main's placement of the figure, in process: the settings file this test
// program names beside itself is the one Main reads, since the settings file
// takes the executable's own name. Positions are compared in pixels, the unit the
// window really moves in.
#include "AppModul.h"
#include "Application.h"
#include "CommandsRecord.h"
#include "TestWindows.h"
#include "fZevozOdudo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace {

using peerkin::test::Dispatched;

constexpr float WindowWidthTwips = 2895;
constexpr float WindowHeightTwips = 4185;

using peerkin::test::SamePath;

// Rounds to the nearest whole number, halves to even, as placement does.
int Nearest(double value) { return static_cast<int>(std::nearbyint(value)); }

int TwipsToPixelsX(double twips) { return Nearest(twips / forms::Screen::TwipsPerPixelX()); }
int TwipsToPixelsY(double twips) { return Nearest(twips / forms::Screen::TwipsPerPixelY()); }

int ScreenWidthTwips() { return Nearest(peerkin::test::ScreenPixels().x * double { forms::Screen::TwipsPerPixelX() }); }
int ScreenHeightTwips() { return Nearest(peerkin::test::ScreenPixels().y * double { forms::Screen::TwipsPerPixelY() }); }

// The window's width and height in twips, from its real size in pixels.
int WindowWidthTwipsOnScreen()
{
    return Nearest(TwipsToPixelsX(WindowWidthTwips) * double { forms::Screen::TwipsPerPixelX() });
}
int WindowHeightTwipsOnScreen()
{
    return Nearest(TwipsToPixelsY(WindowHeightTwips) * double { forms::Screen::TwipsPerPixelY() });
}

// Where the load handler puts the figure, in twips: centred across, its
// middle at 0.425 of the screen's height.
int LoadHandlerTop() { return Nearest(ScreenHeightTwips() * 0.85) / 2 - WindowHeightTwipsOnScreen() / 2; }
int CentredLeft() { return ScreenWidthTwips() / 2 - WindowWidthTwipsOnScreen() / 2; }

struct Placement {
    int x;
    int y;
};

void ForgetFigure()
{
    fZevozOdudo::Instance()->Unload();
    fZevozOdudo::ReleaseInstance();
}

class MainPlacement : public testing::Test {
protected:
    void SetUp() override { StartAfresh(); }
    void TearDown() override { StartAfresh(); }

    // No figure, record, dispatch or settings file of another case's.
    void StartAfresh() const
    {
        ForgetFigure();
        peerkin::test::ClearCommandsRecord();
        peerkin::test::ResetDispatch();
        peerkin::test::RemoveFile(m_settings);
    }

    void Store(const std::string& text) const { peerkin::test::WriteFileBytes(m_settings, text); }

    void StoreValues(std::optional<std::string> top, std::optional<std::string> left) const
    {
        std::string text = "[Orlo's Peerkin]\r\n";
        if (top)
            text += "Top=" + *top + "\r\n";
        if (left)
            text += "Left=" + *left + "\r\n";
        Store(text);
    }

    // Runs Main and reports where the figure ended up, in screen pixels.
    Placement RunMain() const
    {
        AppModul::Main();
        HWND window = fZevozOdudo::Instance()->Handle();
        RECT rect {};
        ::GetWindowRect(window, &rect);
        EXPECT_TRUE(peerkin::test::IsShown(window)) << "Main shows the figure";
        EXPECT_TRUE(Dispatched().failures.empty()) << Dispatched().failures.front().Description();
        EXPECT_EQ(Dispatched().endRequests, 0) << "no other instance runs";
        return { rect.left, rect.top };
    }

    std::wstring m_settings = peerkin::test::StoredSettingsFile(peerkin::test::SettingsFileBesideThisProgram());
};

TEST_F(MainPlacement, NothingStoredOpensAtTheTopCentred)
{
    Placement at = RunMain();
    EXPECT_EQ(at.y, 0);
    EXPECT_EQ(at.x, TwipsToPixelsX(CentredLeft()));
    EXPECT_NEAR(at.x, (peerkin::test::ScreenPixels().x - TwipsToPixelsX(WindowWidthTwips)) / 2.0, 1.0);
    EXPECT_FALSE(peerkin::test::FileExists(m_settings)) << "reading made the settings file";
}

TEST_F(MainPlacement, SectionWithoutTheKeysCountsAsNothingStored)
{
    Store("[Orlo's Peerkin]\r\nColour=red\r\n[Other]\r\nTop=1500\r\nLeft=1500\r\n");
    Placement at = RunMain();
    EXPECT_EQ(at.y, 0);
    EXPECT_EQ(at.x, TwipsToPixelsX(CentredLeft()));
}

struct StoredCase {
    std::optional<std::string> top;
    std::optional<std::string> left;
    std::optional<int> expectedTopTwips; // none: where the load handler put it
    std::optional<int> expectedLeftTwips;
    const char* why;
};

std::ostream& operator<<(std::ostream& out, const StoredCase& c) { return out << c.why; }

class StoredPlacement : public MainPlacement, public testing::WithParamInterface<StoredCase> { };

TEST_P(StoredPlacement, AppliedAfterTheLoadHandler)
{
    const StoredCase& c = GetParam();
    StoreValues(c.top, c.left);
    Placement at = RunMain();
    EXPECT_EQ(at.y, TwipsToPixelsY(c.expectedTopTwips.value_or(LoadHandlerTop()))) << c.why;
    EXPECT_EQ(at.x, TwipsToPixelsX(c.expectedLeftTwips.value_or(CentredLeft()))) << c.why;
}

// Values are multiples of 15 twips, one pixel at 96 dots per inch.
INSTANTIATE_TEST_SUITE_P(StoredTexts, StoredPlacement,
    testing::Values(StoredCase { "1500", "3000", 1500, 3000, "both stored" },
        StoredCase { "1500", std::nullopt, 1500, 0, "only Top: Left reads as 0" },
        StoredCase { std::nullopt, "3000", 0, 3000, "only Left: Top reads as 0" },
        StoredCase { "1500", "", 1500, 0, "Left present but empty" },
        StoredCase { "abc", "abc", 0, 0, "no number in either" },
        StoredCase { "120abc", "300xyz", 120, 300, "digits followed by letters" },
        StoredCase { "1 5 0 0", "&H12C", 1500, 300, "blanks inside, hexadecimal" },
        StoredCase { "1.5E3", "12,5", 1500, 12, "exponent; comma ends reading" },
        StoredCase { "", "", 0, std::nullopt, "both empty: nothing stored" }));

INSTANTIATE_TEST_SUITE_P(OffTheScreen, StoredPlacement,
    testing::Values(StoredCase { "-1500", "-3000", -1500, -3000, "negative" },
        StoredCase { "30000", "45000", 30000, 45000, "beyond the bottom right" },
        StoredCase { "-60000", "0", -60000, 0, "far above" }));

// A value too large for the form's single precision is not applied.
INSTANTIATE_TEST_SUITE_P(TooLarge, StoredPlacement,
    testing::Values(StoredCase { "1e39", "300", std::nullopt, 300, "Top beyond single precision" },
        StoredCase { "300", "-1e39", 300, std::nullopt, "Left beyond single precision" },
        StoredCase { "1e400", "1e400", std::nullopt, std::nullopt, "both beyond double range" }));

// The rest of the record: InitEnvironment (Environment_test.cpp).
TEST_F(MainPlacement, NamesTheSectionAndTheSettingsFile)
{
    RunMain();
    EXPECT_EQ(Commands::AppName, L"Orlo's Peerkin");
    EXPECT_TRUE(SamePath(Commands::IniFile, peerkin::test::SettingsFileBesideThisProgram())) << "IniFile";
}

// Run twice by the test command: once without arguments, and once on its own
// with the words "one two" after GoogleTest's filter.
TEST_F(MainPlacement, KeepsTheCommandLineArgumentsAndNothingElse)
{
    Placement at = RunMain();
    EXPECT_EQ(at.y, 0);
    EXPECT_EQ(at.x, TwipsToPixelsX(CentredLeft()));
    const std::vector<std::string>& arguments = peerkin::test::ProgramArguments();
    if (arguments.empty()) {
        EXPECT_EQ(Commands::CmdLine, L"") << "started without arguments";
        return;
    }
    std::wstring expected;
    for (const std::string& argument : arguments)
        expected += (expected.empty() ? L"" : L" ") + std::wstring(argument.begin(), argument.end());
    EXPECT_EQ(Commands::CmdLine, expected) << "the text after the program's own name, as it was given";
}

} // namespace
