// The long form of paths on Windows: the file system's own names and their
// letter case, short (8.3) names expanded, and the case-only form of paths
// that do not exist. The settings file's name is built from it.
#include "Commands.h"
#include "TestWindows.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cwctype>
#include <string>

namespace {

using peerkin::test::SamePath;
using peerkin::test::TempFolder;

std::wstring Upper(std::wstring text)
{
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towupper(c));
    return text;
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
    EXPECT_TRUE(SamePath(result, m_file)) << "names another file";
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

} // namespace
