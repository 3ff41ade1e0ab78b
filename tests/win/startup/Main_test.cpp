// Main's placement of the figure, in process: the settings file beside this
// test program is the one Main reads, since the settings file takes the
// executable's own name. Positions are compared in pixels, the unit the
// window really moves in.
#include "AppModul.h"
#include "Application.h"
#include "Commands.h"
#include "TestWindows.h"
#include "fZevozOdudo.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <ostream>
#include <string>

namespace {

using peerkin::test::Dispatched;

constexpr float WindowWidthTwips = 2895;
constexpr float WindowHeightTwips = 4185;

std::wstring ModulePath()
{
    wchar_t path[MAX_PATH * 2] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    return path;
}

std::wstring SettingsPathBesideThisProgram()
{
    std::wstring path = ModulePath();
    return path.substr(0, path.size() - 3) + L"ini";
}

bool SameIgnoringCase(const std::wstring& a, const std::wstring& b)
{
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE)
        == CSTR_EQUAL;
}

// Rounds to the nearest whole number, halves to even, as placement does.
int Nearest(double value) { return static_cast<int>(std::nearbyint(value)); }

int TwipsToPixelsX(double twips) { return Nearest(twips / forms::Screen::TwipsPerPixelX()); }
int TwipsToPixelsY(double twips) { return Nearest(twips / forms::Screen::TwipsPerPixelY()); }

int ScreenWidthTwips() { return Nearest(::GetSystemMetrics(SM_CXSCREEN) * double { forms::Screen::TwipsPerPixelX() }); }
int ScreenHeightTwips() { return Nearest(::GetSystemMetrics(SM_CYSCREEN) * double { forms::Screen::TwipsPerPixelY() }); }

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

void ClearRecord()
{
    for (std::wstring* field : { &Commands::AppPath, &Commands::AppName, &Commands::ExeName, &Commands::IniFile,
             &Commands::WinIni, &Commands::WinDir, &Commands::SysDir, &Commands::TempDir, &Commands::CmdLine,
             &Commands::NewLine })
        field->clear();
}

void ForgetFigure()
{
    fZevozOdudo::Instance()->Unload();
    fZevozOdudo::ReleaseInstance();
}

class MainPlacement : public testing::Test {
protected:
    void SetUp() override
    {
        ForgetFigure();
        ClearRecord();
        peerkin::test::ResetDispatch();
        ::DeleteFileW(m_settings.c_str());
    }

    void TearDown() override
    {
        ForgetFigure();
        ClearRecord();
        peerkin::test::ResetDispatch();
        ::DeleteFileW(m_settings.c_str());
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
        EXPECT_TRUE(::IsWindowVisible(window)) << "Main shows the figure";
        EXPECT_TRUE(Dispatched().failures.empty()) << Dispatched().failures.front().Description();
        EXPECT_EQ(Dispatched().endRequests, 0) << "no other instance runs";
        return { rect.left, rect.top };
    }

    std::wstring m_settings = SettingsPathBesideThisProgram();
};

TEST_F(MainPlacement, NothingStoredOpensAtTheTopCentred)
{
    Placement at = RunMain();
    EXPECT_EQ(at.y, 0);
    EXPECT_EQ(at.x, TwipsToPixelsX(CentredLeft()));
    EXPECT_NEAR(at.x, (::GetSystemMetrics(SM_CXSCREEN) - TwipsToPixelsX(WindowWidthTwips)) / 2.0, 1.0);
}

TEST_F(MainPlacement, ReadingDoesNotCreateTheSettingsFile)
{
    RunMain();
    EXPECT_EQ(::GetFileAttributesW(m_settings.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(MainPlacement, SectionWithoutTheKeysCountsAsNothingStored)
{
    Store("[Orlo's Peerkin]\r\nColour=red\r\n[Other]\r\nTop=1500\r\nLeft=1500\r\n");
    Placement at = RunMain();
    EXPECT_EQ(at.y, 0);
    EXPECT_EQ(at.x, TwipsToPixelsX(CentredLeft()));
}

TEST_F(MainPlacement, EmptyValuesCountAsNothingStored)
{
    StoreValues("", "");
    Placement at = RunMain();
    EXPECT_EQ(at.y, 0);
    EXPECT_EQ(at.x, TwipsToPixelsX(CentredLeft()));
}

struct StoredCase {
    std::optional<std::string> top;
    std::optional<std::string> left;
    int expectedTopTwips;
    int expectedLeftTwips;
    const char* why;
};

std::ostream& operator<<(std::ostream& out, const StoredCase& c) { return out << c.why; }

class StoredPlacement : public MainPlacement, public testing::WithParamInterface<StoredCase> { };

TEST_P(StoredPlacement, AppliedAfterTheLoadHandler)
{
    const StoredCase& c = GetParam();
    StoreValues(c.top, c.left);
    Placement at = RunMain();
    EXPECT_EQ(at.y, TwipsToPixelsY(c.expectedTopTwips)) << c.why;
    EXPECT_EQ(at.x, TwipsToPixelsX(c.expectedLeftTwips)) << c.why;
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
        StoredCase { "1.5E3", "12,5", 1500, 12, "exponent; comma ends reading" }));

INSTANTIATE_TEST_SUITE_P(OffTheScreen, StoredPlacement,
    testing::Values(StoredCase { "-1500", "-3000", -1500, -3000, "negative" },
        StoredCase { "30000", "45000", 30000, 45000, "beyond the bottom right" },
        StoredCase { "-60000", "0", -60000, 0, "far above" }));

TEST_F(MainPlacement, TopTooLargeForSinglePrecisionKeepsTheLoadHandlersTop)
{
    StoreValues("1e39", "300");
    Placement at = RunMain();
    EXPECT_EQ(at.y, TwipsToPixelsY(LoadHandlerTop()));
    EXPECT_EQ(at.x, TwipsToPixelsX(300));
}

TEST_F(MainPlacement, LeftTooLargeForSinglePrecisionKeepsTheLoadHandlersLeft)
{
    StoreValues("300", "-1e39");
    Placement at = RunMain();
    EXPECT_EQ(at.y, TwipsToPixelsY(300));
    EXPECT_EQ(at.x, TwipsToPixelsX(CentredLeft()));
}

TEST_F(MainPlacement, BothBeyondDoubleRangeLeaveTheLoadHandlersPlace)
{
    StoreValues("1e400", "1e400");
    Placement at = RunMain();
    EXPECT_EQ(at.y, TwipsToPixelsY(LoadHandlerTop()));
    EXPECT_EQ(at.x, TwipsToPixelsX(CentredLeft()));
}

TEST_F(MainPlacement, FillsTheRecordAndNamesTheSettingsFile)
{
    RunMain();
    EXPECT_EQ(Commands::AppName, L"Orlo's Peerkin");
    EXPECT_TRUE(SameIgnoringCase(Commands::IniFile, m_settings)) << "IniFile";
    EXPECT_EQ(Commands::ExeName, L"startup_tests");
    EXPECT_EQ(Commands::NewLine, std::wstring(L"\r\n"));
    ASSERT_FALSE(Commands::AppPath.empty());
    EXPECT_EQ(Commands::AppPath.back(), L'\\');
}

TEST_F(MainPlacement, KeepsTheCommandLineArgumentsAndNothingElse)
{
    Placement at = RunMain();
    EXPECT_EQ(at.y, 0);
    EXPECT_EQ(at.x, TwipsToPixelsX(CentredLeft()));
    if (__argc <= 1) {
        EXPECT_EQ(Commands::CmdLine, L"") << "started without arguments";
    } else {
        // Run by hand with GoogleTest options: they are the arguments.
        std::string last = __argv[__argc - 1];
        EXPECT_NE(Commands::CmdLine.find(std::wstring(last.begin(), last.end())), std::wstring::npos);
        EXPECT_EQ(Commands::CmdLine.find(L"startup_tests"), std::wstring::npos) << "the program's own name";
    }
}

TEST(SetAppIdentity, SettingsFileTakesTheProgramsNameWithIni)
{
    Commands::AppPath = L"Q:\\NO SUCH\\";
    Commands::ExeName = L"PEERKIN";
    Commands::IniFile.clear();
    AppModul::SetAppIdentity();
    EXPECT_EQ(Commands::AppName, L"Orlo's Peerkin");
    EXPECT_EQ(Commands::IniFile, L"Q:\\No Such\\Peerkin.ini");
    Commands::AppPath.clear();
    Commands::ExeName.clear();
    Commands::AppName.clear();
    Commands::IniFile.clear();
}

TEST(SetAppIdentity, UsesTheLongFormOfTheRunningProgram)
{
    std::wstring module = ModulePath();
    std::size_t slash = module.find_last_of(L'\\');
    Commands::AppPath = module.substr(0, slash + 1);
    Commands::ExeName = L"STARTUP_TESTS";
    AppModul::SetAppIdentity();
    std::wstring expected = module.substr(0, module.size() - 3) + L"ini";
    EXPECT_TRUE(SameIgnoringCase(Commands::IniFile, expected)) << "IniFile";
    // The service's long form, in the program's or the caller's case; the
    // case-only fallback would give Startup_Tests.ini.
    std::wstring name = Commands::IniFile.substr(Commands::IniFile.find_last_of(L'\\') + 1);
    EXPECT_TRUE(name == L"startup_tests.ini" || name == L"STARTUP_TESTS.ini") << "got " << name.c_str();
    Commands::AppPath.clear();
    Commands::ExeName.clear();
    Commands::AppName.clear();
    Commands::IniFile.clear();
}

} // namespace
