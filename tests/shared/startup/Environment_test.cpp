// The environment record and the path procedures against the real platform:
// the settings file's name is built from them, so every folder must end in
// "\" and the file must be the program's own name beside it.
#include "AppModul.h"
#include "CommandsRecord.h"
#include "TestWindows.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using peerkin::test::ClearCommandsRecord;
using peerkin::test::IsFolder;
using peerkin::test::PlatformFolder;
using peerkin::test::ProgramPath;
using peerkin::test::SamePath;
using peerkin::test::SystemFolder;

struct BackslashCase {
    const wchar_t* text;
    const wchar_t* expected;
};

class AddBackslashCases : public testing::TestWithParam<BackslashCase> { };

TEST_P(AddBackslashCases, ChangesTheCallersTextAndReturnsACopy)
{
    std::wstring text = GetParam().text;
    std::wstring result = Commands::AddBackslash(text);
    EXPECT_EQ(text, GetParam().expected);
    EXPECT_EQ(result, GetParam().expected);
    result += L"X"; // a copy: changing it leaves the caller's text alone
    EXPECT_EQ(text, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Folders, AddBackslashCases,
    testing::Values(BackslashCase { L"", L"\\" }, BackslashCase { L"\\", L"\\" }, BackslashCase { L"C:\\", L"C:\\" },
        BackslashCase { L"C:\\Games", L"C:\\Games\\" }, BackslashCase { L"C:\\Games\\", L"C:\\Games\\" },
        BackslashCase { L"C:/Games/", L"C:/Games/\\" }, BackslashCase { L"x", L"x\\" }));

struct FolderCase {
    const char* name;
    std::function<std::wstring()> procedure;
    SystemFolder platform; // the platform's own answer, as a cross-check
};

class FolderProcedures : public testing::TestWithParam<FolderCase> { };

TEST_P(FolderProcedures, NameAnExistingFolderEndingInBackslash)
{
    std::wstring folder = GetParam().procedure();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), L'\\') << GetParam().name;
    // Linux takes "/tmp//" for "/tmp/": SamePath below would not see a second one added.
    EXPECT_FALSE(folder.ends_with(L"\\\\")) << GetParam().name << ": a backslash added to one the service gave";
    EXPECT_NE(folder, L"\\") << GetParam().name << ": the service failed";
    EXPECT_TRUE(IsFolder(folder)) << GetParam().name;
    EXPECT_EQ(folder.find(L'\0'), std::wstring::npos) << GetParam().name << ": buffer padding kept";
    std::wstring platform = PlatformFolder(GetParam().platform);
    Commands::AddBackslash(platform);
    EXPECT_TRUE(SamePath(folder, platform)) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(WindowsSystemTemp, FolderProcedures,
    testing::Values(FolderCase { "GetWinDir", Commands::GetWinDir, SystemFolder::Windows },
        FolderCase { "GetSysDir", Commands::GetSysDir, SystemFolder::System },
        FolderCase { "GetTempDir", Commands::GetTempDir, SystemFolder::Temporary }),
    [](const testing::TestParamInfo<FolderCase>& param) { return std::string(param.param.name); });

TEST(GetLongName, NoNulOrPaddingInTheResult)
{
    peerkin::test::TempFolder temp;
    std::wstring folder = temp.Path() + L"Mixed Case-Folder_(One)";
    ASSERT_TRUE(peerkin::test::CreateFolder(folder));
    std::wstring file = folder + L"\\Face-Watch Long Name.Exe";
    peerkin::test::WriteFileBytes(file, "x");
    ASSERT_TRUE(peerkin::test::FileExists(file));

    std::wstring result = Commands::GetLongName(file);

    EXPECT_EQ(result.find(L'\0'), std::wstring::npos);
    EXPECT_EQ(result.size(), file.size());
}

TEST(InitEnvironment, FillsTheRecordItOwns)
{
    ClearCommandsRecord();
    Commands::AppName = L"section";
    Commands::IniFile = L"file";
    Commands::CmdLine = L"arguments";
    Commands::InitEnvironment();

    std::wstring module = ProgramPath();
    std::wstring folder = module.substr(0, module.find_last_of(L"\\/") + 1);
    EXPECT_TRUE(SamePath(Commands::AppPath, folder)) << "AppPath";
    EXPECT_EQ(Commands::ExeName, L"" PEERKIN_TEST_PROGRAM);
    EXPECT_EQ(Commands::NewLine, std::wstring(L"\r\n"));
    EXPECT_EQ(Commands::WinIni, Commands::WinDir + L"Win.ini");
    for (const std::wstring* field : { &Commands::AppPath, &Commands::WinDir, &Commands::SysDir, &Commands::TempDir }) {
        ASSERT_FALSE(field->empty());
        EXPECT_EQ(field->back(), L'\\') << *field;
        EXPECT_TRUE(IsFolder(*field)) << *field;
    }
    EXPECT_EQ(Commands::AppName, L"section");
    EXPECT_EQ(Commands::IniFile, L"file");
    EXPECT_EQ(Commands::CmdLine, L"arguments");
    ClearCommandsRecord();
}

TEST(SetAppIdentity, SettingsFileIsBesideTheRunningProgram)
{
    ClearCommandsRecord();
    Commands::InitEnvironment();
    AppModul::SetAppIdentity();
    EXPECT_TRUE(SamePath(Commands::IniFile, peerkin::test::SettingsFileBesideThisProgram()))
        << "got " << Commands::IniFile;
    ClearCommandsRecord();
}

} // namespace
