// The process-wide services as Windows provides them.
#include "Application.h"
#include "Win32Handles.h"

#include <gtest/gtest.h>
#include <windows.h>

using namespace forms;

namespace {

TEST(ApplicationTest, PathAndNameDescribeTheRunningProgram)
{
    std::wstring path = App::Path();
    std::wstring name = App::EXEName();
    EXPECT_EQ(name, L"runtime_tests");
    ASSERT_FALSE(path.empty());
    EXPECT_NE(path.back(), L'\\');
    EXPECT_NE(::GetFileAttributesW((path + L"\\" + name + L".exe").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(ApplicationTest, FirstInstanceSeesNoPreviousOne)
{
    EXPECT_FALSE(App::PrevInstance());
    EXPECT_FALSE(App::PrevInstance()); // asking again does not count itself
}

TEST(ApplicationTest, ScreenSizeIsInTwipsFromTheRealDotsPerInch)
{
    WindowDc screen(nullptr);
    float twipsPerPixel = 1440.0f / static_cast<float>(::GetDeviceCaps(screen.Get(), LOGPIXELSX));
    EXPECT_EQ(Screen::TwipsPerPixelX(), twipsPerPixel);
    EXPECT_EQ(Screen::Width(), static_cast<float>(::GetSystemMetrics(SM_CXSCREEN)) * twipsPerPixel);
    EXPECT_EQ(Screen::Height(), static_cast<float>(::GetSystemMetrics(SM_CYSCREEN)) * twipsPerPixel);
}

TEST(ApplicationTest, LocaleTextUsesTheUsersDecimalSeparator)
{
    wchar_t separator[8] = {};
    ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
    EXPECT_EQ(NumberToLocaleText(-150.0f), L"-150");
    EXPECT_EQ(NumberToLocaleText(12.5f), std::wstring(L"12") + separator[0] + L"5");
}

} // namespace
