// The process-wide services as the platform provides them.
#include "Application.h"
#include "TestWindows.h"

#include <gtest/gtest.h>

#include <string>

using namespace forms;

namespace {

TEST(ApplicationTest, PathAndNameDescribeTheRunningProgram)
{
    std::wstring path = App::Path();
    std::wstring name = App::EXEName();
    EXPECT_EQ(name, L"" PEERKIN_TEST_PROGRAM);
    ASSERT_FALSE(path.empty());
    EXPECT_NE(path.back(), L'\\');
    EXPECT_TRUE(peerkin::test::IsProgramFile(path + L"\\" + name + peerkin::test::ProgramExtension()));
}

TEST(ApplicationTest, ScreenSizeIsInTwipsFromTheRealDotsPerInch)
{
    float twipsPerPixel = static_cast<float>(1440.0 / peerkin::test::ScreenDotsPerInch());
    POINT screen = peerkin::test::ScreenPixels();
    EXPECT_EQ(Screen::TwipsPerPixelX(), twipsPerPixel);
    EXPECT_EQ(Screen::Width(), static_cast<float>(screen.x) * twipsPerPixel);
    EXPECT_EQ(Screen::Height(), static_cast<float>(screen.y) * twipsPerPixel);
}

TEST(ApplicationTest, LocaleTextUsesTheUsersDecimalSeparator)
{
    EXPECT_EQ(NumberToLocaleText(-150.0f), L"-150");
    EXPECT_EQ(NumberToLocaleText(12.5f), std::wstring(L"12") + peerkin::test::UsersDecimalSeparator() + L"5");
}

} // namespace
