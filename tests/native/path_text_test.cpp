// Path text rules: the settings file's name is derived from the case-only
// long form when the file system cannot resolve the program's path, so the
// form must keep the length and only change letter case.
#include "PathText.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

using PathText::CaseOnlyLongForm;
using PathText::EndsInBackslash;

struct CaseForm {
    const wchar_t* path;
    const wchar_t* expected;
    const char* why;
};

std::ostream& operator<<(std::ostream& out, const CaseForm& form) { return out << form.why; }

class CaseOnlyLongFormCases : public testing::TestWithParam<CaseForm> { };

TEST_P(CaseOnlyLongFormCases, TidiesLetterCaseOnly)
{
    const CaseForm& form = GetParam();
    std::wstring result = CaseOnlyLongForm(form.path);
    EXPECT_EQ(result, form.expected) << form.why;
    EXPECT_EQ(result.size(), std::wstring(form.path).size()) << form.why;
}

INSTANTIATE_TEST_SUITE_P(Examples, CaseOnlyLongFormCases,
    testing::Values(CaseForm { L"C:\\MY TOYS\\FACE-WATCH.EXE", L"C:\\My Toys\\Face-Watch.exe", "documented example" },
        CaseForm { L"c:\\my toys\\face-watch.exe", L"C:\\My Toys\\Face-Watch.exe", "from lower case" },
        CaseForm { L"", L"", "empty text" }, CaseForm { L"x", L"X", "one letter" },
        CaseForm { L"\\", L"\\", "backslash alone" }, CaseForm { L"7ZIP", L"7zip", "a digit first stays" }));

INSTANTIATE_TEST_SUITE_P(FiveSeparators, CaseOnlyLongFormCases,
    testing::Values(CaseForm { L"AA BB", L"Aa Bb", "space" }, CaseForm { L"aa-bb", L"Aa-Bb", "hyphen" },
        CaseForm { L"AA(BB)", L"Aa(Bb)", "opening parenthesis" },
        CaseForm { L"aa_bb", L"Aa_Bb", "underscore" }, CaseForm { L"AA\\BB", L"Aa\\Bb", "backslash" },
        CaseForm { L"a  -_(\\b", L"A  -_(\\B", "separators in a row" },
        CaseForm { L"ab-", L"Ab-", "separator at the end" }));

INSTANTIATE_TEST_SUITE_P(NotSeparators, CaseOnlyLongFormCases,
    testing::Values(CaseForm { L"C:X", L"C:x", "colon" }, CaseForm { L"A.EXE", L"A.exe", "full stop" },
        CaseForm { L"A/B", L"A/b", "forward slash" }, CaseForm { L"A)B", L"A)b", "closing parenthesis" },
        CaseForm { L"A\tB", L"A\tb", "tab" }, CaseForm { L"A1B", L"A1b", "digit" },
        CaseForm { L"A'S PEERKIN", L"A's Peerkin", "apostrophe" }));

INSTANTIATE_TEST_SUITE_P(BeyondAsciiLetters, CaseOnlyLongFormCases,
    testing::Values(CaseForm { L"\u00C9COLE", L"\u00C9cole", "a non-ASCII letter keeps its case" },
        CaseForm { L"A \u00E9T\u00C9", L"A \u00E9t\u00C9", "non-ASCII letters after a space too" },
        CaseForm { L"\u00DF-\u00FF", L"\u00DF-\u00FF", "no character grows or shrinks" }));

TEST(CaseOnlyLongForm, KeepsTheLengthOfLongPaths)
{
    std::wstring path = L"C:\\";
    while (path.size() < 1000)
        path += L"SOME FOLDER-NAME_(1)\\";
    std::wstring result = CaseOnlyLongForm(path);
    ASSERT_EQ(result.size(), path.size());
    EXPECT_EQ(result.substr(0, 24), L"C:\\Some Folder-Name_(1)\\");
}

TEST(EndsInBackslash, OnlyAClosingBackslashCounts)
{
    EXPECT_FALSE(EndsInBackslash(L""));
    EXPECT_TRUE(EndsInBackslash(L"\\"));
    EXPECT_TRUE(EndsInBackslash(L"C:\\"));
    EXPECT_TRUE(EndsInBackslash(L"C:\\Games\\"));
    EXPECT_FALSE(EndsInBackslash(L"C:\\Games"));
    EXPECT_FALSE(EndsInBackslash(L"C:/Games/"));
    EXPECT_FALSE(EndsInBackslash(L"\\Games"));
}

} // namespace
