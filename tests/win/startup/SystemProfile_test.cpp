// The settings file on Windows: texts in the ANSI code page, and nothing may
// ever land in the system's own Win.ini.
#include "Commands.h"
#include "TestWindows.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

namespace {

using peerkin::test::ReadFileBytes;
using peerkin::test::TempFolder;

const std::wstring Section = L"Orlo's Peerkin";

TEST(SettingsFileOnWindows, TextOfTheAnsiCodePageRoundTrips)
{
    if (::GetACP() != 1252)
        GTEST_SKIP() << "the sample needs code page 1252";
    TempFolder temp;
    std::wstring file = temp.Path() + L"Peerkin.ini";
    Commands::WriteIni(Section, L"Top", L"Caf\u00E9", file);
    EXPECT_NE(ReadFileBytes(file).find("Top=Caf\xE9\r\n"), std::string::npos) << "stored in the ANSI code page";
    EXPECT_EQ(Commands::ReadIni(Section, L"Top", file, L""), L"Caf\u00E9");
}

// Without a file name the profile services would use the system's Win.ini;
// the program must never read or write it.
class EmptyFileName : public testing::Test {
protected:
    static std::wstring WinIniPath()
    {
        wchar_t folder[MAX_PATH] = {};
        ::GetWindowsDirectoryW(folder, MAX_PATH);
        return std::wstring(folder) + L"\\win.ini";
    }

    static std::optional<FILETIME> LastWrite(const std::wstring& path)
    {
        WIN32_FILE_ATTRIBUTE_DATA data {};
        if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
            return std::nullopt;
        return data.ftLastWriteTime;
    }

    static std::wstring SystemProfileValue(const wchar_t* key)
    {
        wchar_t value[64] = {};
        ::GetProfileStringW(Section.c_str(), key, L"", value, 64);
        return value;
    }
};

TEST_F(EmptyFileName, WritesNothingAnywhere)
{
    std::wstring winIni = WinIniPath();
    bool existed = ::GetFileAttributesW(winIni.c_str()) != INVALID_FILE_ATTRIBUTES;
    std::string before = ReadFileBytes(winIni);
    std::optional<FILETIME> writtenBefore = LastWrite(winIni);

    Commands::WriteIni(Section, L"Top", L"4242", L"");
    Commands::WriteIni(Section, L"Left", L"4343", L"");

    EXPECT_EQ(::GetFileAttributesW(winIni.c_str()) != INVALID_FILE_ATTRIBUTES, existed);
    EXPECT_EQ(ReadFileBytes(winIni), before);
    std::optional<FILETIME> writtenAfter = LastWrite(winIni);
    ASSERT_EQ(writtenAfter.has_value(), writtenBefore.has_value());
    if (writtenAfter) {
        EXPECT_EQ(::CompareFileTime(&*writtenAfter, &*writtenBefore), 0);
    }
    EXPECT_EQ(SystemProfileValue(L"Top"), L"");
    EXPECT_EQ(SystemProfileValue(L"Left"), L"");
}

TEST_F(EmptyFileName, ReadsTheDefaultEvenWhenWinIniHoldsTheKey)
{
    ASSERT_TRUE(::WriteProfileStringW(Section.c_str(), L"Top", L"777"));
    std::wstring read = Commands::ReadIni(Section, L"Top", L"", L"default");
    ::WriteProfileStringW(Section.c_str(), nullptr, nullptr); // removes the section again
    EXPECT_EQ(read, L"default");
    EXPECT_EQ(SystemProfileValue(L"Top"), L"");
}

} // namespace
