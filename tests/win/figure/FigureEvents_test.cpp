// The figure's load, button and double-click handling on its real window,
// with its real picture.
#include "Application.h"
#include "Commands.h"
#include "Dispatch.h"
#include "FigurePlacement.h"
#include "Win32Handles.h"
#include "TestWindows.h"
#include "fZevozOdudo.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using peerkin::test::Dispatched;
using peerkin::test::ReadFileBytes;
using peerkin::test::ResetDispatch;
using peerkin::test::TempFolder;
using peerkin::test::WindowRegionRects;
using peerkin::test::WriteFileBytes;

// Every case starts with a figure that was never loaded and a dispatch that
// has seen nothing, and leaves the settings names as it found them.
class FigureWindow : public testing::Test {
protected:
    void SetUp() override { ResetDispatch(); }
    void TearDown() override
    {
        fZevozOdudo::Instance()->Unload();
        fZevozOdudo::ReleaseInstance();
        ResetDispatch();
        Commands::AppName = m_savedAppName;
        Commands::IniFile = m_savedIniFile;
    }

    static std::shared_ptr<fZevozOdudo> LoadedFigure()
    {
        std::shared_ptr<fZevozOdudo> figure = fZevozOdudo::Instance();
        figure->Load();
        return figure;
    }

    static RECT WindowRect(HWND window)
    {
        RECT rect {};
        ::GetWindowRect(window, &rect);
        return rect;
    }

    static void MoveWindowTo(HWND window, int x, int y)
    {
        ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // The expected twips below are for 96 dots per inch.
    static bool AtFifteenTwipsPerPixel()
    {
        return forms::Screen::TwipsPerPixelX() == 15.0f && forms::Screen::TwipsPerPixelY() == 15.0f;
    }

private:
    std::wstring m_savedAppName = Commands::AppName;
    std::wstring m_savedIniFile = Commands::IniFile;
};

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

TEST_F(FigureWindow, LoadLeavesTheDrawingSettingsAsDefined)
{
    std::shared_ptr<fZevozOdudo> figure = LoadedFigure();

    EXPECT_EQ(figure->ScaleMode(), forms::ScaleMode::Pixels);
    EXPECT_TRUE(figure->AutoRedraw());
}

TEST_F(FigureWindow, LoadMakesTheWindowTopMostWithoutShowingIt)
{
    HWND window = LoadedFigure()->Handle();

    auto extendedStyle = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE));
    EXPECT_NE(extendedStyle & WS_EX_TOPMOST, 0u);
    EXPECT_FALSE(::IsWindowVisible(window));
}

TEST_F(FigureWindow, LoadCentresTheWindowAcrossAndAt0Point425OfTheScreenHeight)
{
    if (!AtFifteenTwipsPerPixel() || ::GetSystemMetrics(SM_CXSCREEN) != 1024 || ::GetSystemMetrics(SM_CYSCREEN) != 768)
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

// What the window received while a Watch was installed on it. Title-bar
// presses are recorded and swallowed, so the platform's move loop, which
// would wait for a real button release, never starts.
struct Watched {
    int titleBarPresses = 0;
    WPARAM hitTest = 0;
    LPARAM position = -1;
    HWND captureAtPress = nullptr;
};

Watched g_watched;
WNDPROC g_watchedProcedure = nullptr;

LRESULT CALLBACK WatchingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCLBUTTONDOWN) {
        ++g_watched.titleBarPresses;
        g_watched.hitTest = wParam;
        g_watched.position = lParam;
        g_watched.captureAtPress = ::GetCapture();
        return 0;
    }
    return ::CallWindowProcW(g_watchedProcedure, window, message, wParam, lParam);
}

class Watch {
public:
    explicit Watch(HWND window)
        : m_window(window)
    {
        g_watched = {};
        g_watchedProcedure = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchingProcedure)));
    }
    ~Watch() { ::SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_watchedProcedure)); }
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

private:
    HWND m_window;
};

LPARAM PointerAt(int x, int y) { return MAKELPARAM(x, y); }

struct ButtonCase {
    const char* name;
    UINT message;
    WPARAM keys;
};

std::ostream& operator<<(std::ostream& out, const ButtonCase& button) { return out << button.name; }

class FigureButton : public FigureWindow, public testing::WithParamInterface<ButtonCase> {};

class OtherButton : public FigureButton {};

TEST_P(OtherButton, DoesNothing)
{
    HWND window = LoadedFigure()->Handle();
    MoveWindowTo(window, 100, 50);
    Watch watch(window);
    ::SetCapture(window);

    ::SendMessageW(window, GetParam().message, GetParam().keys, PointerAt(96, 160));

    EXPECT_EQ(g_watched.titleBarPresses, 0);
    EXPECT_EQ(::GetCapture(), window) << "the capture was released";
    RECT rect = WindowRect(window);
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.top, 50);
    EXPECT_TRUE(Dispatched().failures.empty());
    ::ReleaseCapture();
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Messages, OtherButton, testing::Values(
    ButtonCase { "Right", WM_RBUTTONDOWN, MK_RBUTTON },
    ButtonCase { "Middle", WM_MBUTTONDOWN, MK_MBUTTON },
    ButtonCase { "RightWithLeftHeld", WM_RBUTTONDOWN, MK_RBUTTON | MK_LBUTTON },
    ButtonCase { "RightSecondClick", WM_RBUTTONDBLCLK, MK_RBUTTON },
    ButtonCase { "MiddleSecondClick", WM_MBUTTONDBLCLK, MK_MBUTTON }),
    [](const testing::TestParamInfo<ButtonCase>& param) { return std::string(param.param.name); });
// clang-format on

class LeftButton : public FigureButton {};

TEST_P(LeftButton, HandsTheWindowToThePlatformsMoveAsATitleBarPress)
{
    HWND window = LoadedFigure()->Handle();
    Watch watch(window);
    ::SetCapture(window);

    ::SendMessageW(window, GetParam().message, GetParam().keys, PointerAt(96, 160));

    EXPECT_EQ(g_watched.titleBarPresses, 1);
    EXPECT_EQ(g_watched.hitTest, static_cast<WPARAM>(HTCAPTION));
    EXPECT_EQ(g_watched.position, 0);
    EXPECT_EQ(g_watched.captureAtPress, nullptr) << "the capture must end before the move starts";
    EXPECT_TRUE(Dispatched().failures.empty());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Modifiers, LeftButton, testing::Values(
    ButtonCase { "Plain", WM_LBUTTONDOWN, MK_LBUTTON },
    ButtonCase { "Shift", WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT },
    ButtonCase { "Ctrl", WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL },
    ButtonCase { "ShiftCtrlAndRightHeld", WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT | MK_CONTROL | MK_RBUTTON }),
    [](const testing::TestParamInfo<ButtonCase>& param) { return std::string(param.param.name); });
// clang-format on

TEST_F(FigureWindow, EveryLeftPressStartsItsOwnMove)
{
    HWND window = LoadedFigure()->Handle();
    Watch watch(window);

    for (int press = 0; press < 3; ++press)
        ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, PointerAt(96, 160));

    EXPECT_EQ(g_watched.titleBarPresses, 3);
}

// --- Double-click ------------------------------------------------------

constexpr wchar_t SectionName[] = L"Orlo's Peerkin";

// The file's non-empty lines, in order.
std::vector<std::string> LinesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

bool CanOpenForWriting(const std::wstring& path)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(file);
    return true;
}

class DoubleClick : public FigureWindow {
protected:
    void UseSettingsFile(const std::wstring& path)
    {
        Commands::AppName = SectionName;
        Commands::IniFile = path;
    }

    static void DoubleClickOn(HWND window) { ::SendMessageW(window, WM_LBUTTONDBLCLK, 0, PointerAt(96, 160)); }

    TempFolder m_folder;
};

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
    std::wstring iniFile = m_folder.Path() + L"Peerkin.ini";
    UseSettingsFile(iniFile);
    HWND window = LoadedFigure()->Handle();
    MoveWindowTo(window, GetParam().x, GetParam().y);

    DoubleClickOn(window);

    EXPECT_EQ(LinesOf(ReadFileBytes(iniFile)), GetParam().lines);
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
    std::wstring iniFile = m_folder.Path() + L"Peerkin.ini";
    WriteFileBytes(iniFile, "[Orlo's Peerkin]\r\nTop=1\r\nLeft=2\r\n");
    UseSettingsFile(iniFile);
    HWND window = LoadedFigure()->Handle();
    MoveWindowTo(window, 2, 3);

    DoubleClickOn(window);

    EXPECT_EQ(LinesOf(ReadFileBytes(iniFile)), (std::vector<std::string> { "[Orlo's Peerkin]", "Top=45", "Left=30" }));
}

TEST_F(DoubleClick, ReadOnlyFileIsLeftAloneAndTheProgramStillEnds)
{
    std::wstring iniFile = m_folder.Path() + L"Peerkin.ini";
    const std::string stored = "[Orlo's Peerkin]\r\nTop=1\r\nLeft=2\r\n";
    WriteFileBytes(iniFile, stored);
    ASSERT_TRUE(::SetFileAttributesW(iniFile.c_str(), FILE_ATTRIBUTE_READONLY));
    if (CanOpenForWriting(iniFile))
        GTEST_SKIP() << "this platform lets the file be written anyway (Wine run as root)";
    UseSettingsFile(iniFile);
    HWND window = LoadedFigure()->Handle();
    MoveWindowTo(window, 20, 30);

    DoubleClickOn(window);

    EXPECT_EQ(ReadFileBytes(iniFile), stored);
    EXPECT_TRUE(Dispatched().failures.empty());
    EXPECT_EQ(Dispatched().endRequests, 1);
}

TEST_F(DoubleClick, FileHeldOpenByAnotherProgramIsLeftAloneAndTheProgramStillEnds)
{
    std::wstring iniFile = m_folder.Path() + L"Peerkin.ini";
    const std::string stored = "[Orlo's Peerkin]\r\nTop=1\r\nLeft=2\r\n";
    WriteFileBytes(iniFile, stored);
    UseSettingsFile(iniFile);
    HWND window = LoadedFigure()->Handle();
    MoveWindowTo(window, 20, 30);
    {
        // Opened without sharing: nobody else may read or write it meanwhile.
        forms::UniqueKernelHandle holder(
            ::CreateFileW(iniFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_NE(holder.Get(), INVALID_HANDLE_VALUE);

        DoubleClickOn(window);
    }

    EXPECT_EQ(ReadFileBytes(iniFile), stored);
    EXPECT_TRUE(Dispatched().failures.empty());
    EXPECT_EQ(Dispatched().endRequests, 1);
}

TEST_F(DoubleClick, SettingsPathThatIsAFolderStillEndsTheProgram)
{
    std::wstring iniFile = m_folder.Path() + L"Peerkin.ini";
    ASSERT_TRUE(::CreateDirectoryW(iniFile.c_str(), nullptr));
    UseSettingsFile(iniFile);
    HWND window = LoadedFigure()->Handle();

    DoubleClickOn(window);

    DWORD attributes = ::GetFileAttributesW(iniFile.c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    EXPECT_TRUE(Dispatched().failures.empty());
    EXPECT_EQ(Dispatched().endRequests, 1);
}

TEST_F(DoubleClick, NoHandlerRunsOnceTheProgramEnds)
{
    std::wstring iniFile = m_folder.Path() + L"Peerkin.ini";
    UseSettingsFile(iniFile);
    HWND window = LoadedFigure()->Handle();
    MoveWindowTo(window, 2, 3);
    DoubleClickOn(window);
    std::string written = ReadFileBytes(iniFile);
    MoveWindowTo(window, 40, 50);
    Watch watch(window);

    DoubleClickOn(window);
    ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, PointerAt(96, 160));

    EXPECT_EQ(ReadFileBytes(iniFile), written);
    EXPECT_EQ(Dispatched().endRequests, 1);
    EXPECT_EQ(g_watched.titleBarPresses, 0);
}

// --- Failures in handlers ----------------------------------------------

class HandlerFailure : public testing::Test {
protected:
    void SetUp() override { ResetDispatch(); }
    void TearDown() override { ResetDispatch(); }
};

TEST_F(HandlerFailure, GoesToThePolicyWithItsNumberAndSkipsTheRestOfTheHandler)
{
    std::vector<int> steps;

    forms::RaiseEvent([&steps] {
        steps.push_back(1);
        forms::Fail(forms::FailureCode::Overflow);
        steps.push_back(2);
    });

    ASSERT_EQ(Dispatched().failures.size(), 1u);
    EXPECT_EQ(Dispatched().failures.front().Number(), 6);
    EXPECT_EQ(steps, std::vector<int> { 1 });
}

TEST_F(HandlerFailure, NothingRunsOrIsReportedOnceEnding)
{
    forms::End();
    bool ran = false;

    forms::RaiseEvent([&ran] { ran = true; });
    forms::RaiseEvent([] { forms::Fail(forms::FailureCode::DivisionByZero); });

    EXPECT_TRUE(forms::IsEnding());
    EXPECT_FALSE(ran);
    EXPECT_TRUE(Dispatched().failures.empty());
}

} // namespace
