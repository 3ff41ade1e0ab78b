// The environment record and the path procedures against the real platform:
// the settings file's name is built from them, so every folder must end in
// "\" and the long form must name the file as the file system does.
#include "Commands.h"
#include "TestWindows.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cwctype>
#include <functional>
#include <string>

namespace {

using peerkin::test::TempFolder;

std::wstring ModulePath()
{
    wchar_t path[MAX_PATH * 2] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    return path;
}

bool IsFolder(const std::wstring& path)
{
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool SameIgnoringCase(const std::wstring& a, const std::wstring& b)
{
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE)
        == CSTR_EQUAL;
}

std::wstring Upper(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towupper(c));
    return text;
}

void ClearRecord()
{
    for (std::wstring* field : { &Commands::AppPath, &Commands::AppName, &Commands::ExeName, &Commands::IniFile,
             &Commands::WinIni, &Commands::WinDir, &Commands::SysDir, &Commands::TempDir, &Commands::CmdLine,
             &Commands::NewLine })
        field->clear();
}

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

TEST(AddBackslash, AppendsOnlyOnceWhenRepeated)
{
    std::wstring text = L"C:\\Games";
    Commands::AddBackslash(text);
    Commands::AddBackslash(text);
    EXPECT_EQ(text, L"C:\\Games\\");
}

struct FolderCase {
    const char* name;
    std::function<std::wstring()> procedure;
    std::function<std::wstring()> platform; // the wide service, as a cross-check
};

std::wstring WideFolder(UINT(WINAPI* service)(LPWSTR, UINT))
{
    wchar_t buffer[MAX_PATH] = {};
    UINT length = service(buffer, MAX_PATH);
    return std::wstring(buffer, length);
}

std::wstring WideTemp()
{
    wchar_t buffer[MAX_PATH] = {};
    DWORD length = ::GetTempPathW(MAX_PATH, buffer);
    return std::wstring(buffer, length);
}

class FolderProcedures : public testing::TestWithParam<FolderCase> { };

TEST_P(FolderProcedures, NameAnExistingFolderEndingInBackslash)
{
    std::wstring folder = GetParam().procedure();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), L'\\') << GetParam().name;
    EXPECT_NE(folder, L"\\") << GetParam().name << ": the service failed";
    EXPECT_TRUE(IsFolder(folder)) << GetParam().name;
    EXPECT_EQ(folder.find(L'\0'), std::wstring::npos) << GetParam().name << ": buffer padding kept";
    std::wstring platform = GetParam().platform();
    Commands::AddBackslash(platform);
    EXPECT_TRUE(SameIgnoringCase(folder, platform)) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(WindowsSystemTemp, FolderProcedures,
    testing::Values(FolderCase { "GetWinDir", Commands::GetWinDir, [] { return WideFolder(::GetWindowsDirectoryW); } },
        FolderCase { "GetSysDir", Commands::GetSysDir, [] { return WideFolder(::GetSystemDirectoryW); } },
        FolderCase { "GetTempDir", Commands::GetTempDir, WideTemp }),
    [](const testing::TestParamInfo<FolderCase>& param) { return std::string(param.param.name); });

TEST(GetTempDir, AddsNothingWhenTheServiceEndsInBackslash)
{
    std::wstring temp = WideTemp();
    ASSERT_FALSE(temp.empty());
    ASSERT_EQ(temp.back(), L'\\');
    EXPECT_EQ(Commands::GetTempDir().size(), temp.size());
}

// A file and folder whose names are long names in mixed case.
class LongNameFixture : public testing::Test {
protected:
    void SetUp() override
    {
        m_folder = m_temp.Path() + L"Mixed Case-Folder_(One)";
        ASSERT_TRUE(::CreateDirectoryW(m_folder.c_str(), nullptr));
        m_file = m_folder + L"\\Face-Watch Long Name.Exe";
        peerkin::test::WriteFileBytes(m_file, "x");
        ASSERT_NE(::GetFileAttributesW(m_file.c_str()), INVALID_FILE_ATTRIBUTES);
    }

    TempFolder m_temp;
    std::wstring m_folder;
    std::wstring m_file;
};

// The service keeps the caller's case for components that are already long
// names and reports the file system's case for those it expands; either way
// it is the service's answer, never the case-only fallback (which would end
// in ".exe" here).
TEST_F(LongNameFixture, ExistingPathInOtherCaseIsTheServicesAnswer)
{
    std::wstring asked = Upper(m_file);
    ASSERT_NE(asked, m_file);
    std::wstring result = Commands::GetLongName(asked);
    EXPECT_TRUE(SameIgnoringCase(result, m_file)) << "names another file";
    std::wstring name = result.substr(result.find_last_of(L'\\') + 1);
    EXPECT_TRUE(name == L"FACE-WATCH LONG NAME.EXE" || name == L"Face-Watch Long Name.Exe") << "got " << name.c_str();
}

TEST_F(LongNameFixture, ExistingPathsComeBackAsTheWideServiceReportsThem)
{
    for (const std::wstring& path : { m_file, m_folder, m_temp.Path() }) {
        wchar_t expected[MAX_PATH] = {};
        ASSERT_NE(::GetLongPathNameW(path.c_str(), expected, MAX_PATH), 0U);
        EXPECT_EQ(Commands::GetLongName(path), expected);
    }
}

TEST_F(LongNameFixture, ShortFormExpandsToTheFileSystemsNameAndCase)
{
    wchar_t shortForm[MAX_PATH] = {};
    DWORD length = ::GetShortPathNameW(m_file.c_str(), shortForm, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || std::wstring(shortForm) == m_file)
        GTEST_SKIP() << "no short names on this volume";
    EXPECT_EQ(Commands::GetLongName(shortForm), m_file) << "from " << shortForm;
}

TEST_F(LongNameFixture, NoNulOrPaddingInTheResult)
{
    std::wstring result = Commands::GetLongName(m_file);
    EXPECT_EQ(result.find(L'\0'), std::wstring::npos);
    EXPECT_EQ(result.size(), m_file.size());
}

struct MissingCase {
    std::wstring path;
    std::wstring expected;
};

class MissingPaths : public testing::TestWithParam<MissingCase> { };

TEST_P(MissingPaths, FallBackOnTheCaseOnlyForm)
{
    std::wstring result = Commands::GetLongName(GetParam().path);
    EXPECT_EQ(result, GetParam().expected);
    EXPECT_EQ(result.size(), GetParam().path.size());
}

INSTANTIATE_TEST_SUITE_P(NotOnDisk, MissingPaths,
    testing::Values(MissingCase { L"Q:\\MY TOYS\\FACE-WATCH.EXE", L"Q:\\My Toys\\Face-Watch.exe" },
        MissingCase { L"q:\\my toys\\face-watch.exe", L"Q:\\My Toys\\Face-Watch.exe" },
        MissingCase { L"no such file(2).TXT", L"No Such File(2).txt" },
        MissingCase { L"", L"" }));

TEST_F(LongNameFixture, MissingFileInAnExistingFolderKeepsItsLength)
{
    std::wstring missing = m_folder + L"\\NOT-THERE.TXT";
    std::wstring result = Commands::GetLongName(missing);
    EXPECT_EQ(result.size(), missing.size());
    EXPECT_EQ(result.substr(result.size() - 14), L"\\Not-There.txt");
}

TEST(InitEnvironment, FillsTheRecordItOwns)
{
    ClearRecord();
    Commands::AppName = L"section";
    Commands::IniFile = L"file";
    Commands::CmdLine = L"arguments";
    Commands::InitEnvironment();

    std::wstring module = ModulePath();
    std::wstring folder = module.substr(0, module.find_last_of(L'\\') + 1);
    EXPECT_TRUE(SameIgnoringCase(Commands::AppPath, folder)) << "AppPath";
    EXPECT_EQ(Commands::ExeName, L"startup_tests");
    EXPECT_EQ(Commands::NewLine, std::wstring(L"\r\n"));
    EXPECT_EQ(Commands::NewLine.size(), 2U);
    EXPECT_EQ(Commands::WinIni, Commands::WinDir + L"Win.ini");
    for (const std::wstring* field : { &Commands::AppPath, &Commands::WinDir, &Commands::SysDir, &Commands::TempDir }) {
        ASSERT_FALSE(field->empty());
        EXPECT_EQ(field->back(), L'\\') << *field;
        EXPECT_TRUE(IsFolder(*field)) << *field;
    }
    EXPECT_EQ(Commands::AppName, L"section");
    EXPECT_EQ(Commands::IniFile, L"file");
    EXPECT_EQ(Commands::CmdLine, L"arguments");
    ClearRecord();
}

TEST(InitEnvironment, ExecutablePathRebuildsFromAppPathAndExeName)
{
    ClearRecord();
    Commands::InitEnvironment();
    EXPECT_TRUE(SameIgnoringCase(Commands::AppPath + Commands::ExeName + L".exe", ModulePath()));
    ClearRecord();
}

} // namespace
