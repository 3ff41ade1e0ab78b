// The settings file through the real profile services: what the double-click
// writes must be what the next start reads, a hand-edited file must read the
// same, and nothing may ever land in the system's own Win.ini.
#include "Commands.h"
#include "TestWindows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using peerkin::test::NonEmptyLines;
using peerkin::test::ReadFileBytes;
using peerkin::test::TempFolder;
using peerkin::test::WriteFileBytes;

const std::wstring Section = L"Orlo's Peerkin";

bool Exists(const std::wstring& path) { return peerkin::test::FileExists(path); }

std::size_t Occurrences(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

class SettingsFile : public testing::Test {
protected:
    std::wstring Read(const std::wstring& key, const std::wstring& fallback = L"")
    {
        return Commands::ReadIni(Section, key, m_file, fallback);
    }
    void Write(const std::wstring& key, const std::wstring& value) { Commands::WriteIni(Section, key, value, m_file); }
    std::string Text() const { return ReadFileBytes(m_file); }
    void HandWrite(const std::string& text) const { WriteFileBytes(m_file, text); }

    TempFolder m_temp;
    std::wstring m_file = m_temp.Path() + L"Peerkin.ini";
};

TEST_F(SettingsFile, FirstWriteCreatesTheSectionWithTopBeforeLeft)
{
    ASSERT_FALSE(Exists(m_file));
    Write(L"Top", L"280");
    Write(L"Left", L"-150");
    std::vector<std::string> lines = NonEmptyLines(Text());
    ASSERT_EQ(lines.size(), 3U) << Text();
    EXPECT_EQ(lines[0], "[Orlo's Peerkin]");
    EXPECT_EQ(lines[1], "Top=280");
    EXPECT_EQ(lines[2], "Left=-150");
}

TEST_F(SettingsFile, ALaterWriteReplacesBothValuesInPlace)
{
    Write(L"Top", L"280");
    Write(L"Left", L"-150");
    Write(L"Top", L"1500");
    Write(L"Left", L"30");
    std::string text = Text();
    EXPECT_EQ(Occurrences(text, "Top="), 1U) << text;
    EXPECT_EQ(Occurrences(text, "Left="), 1U) << text;
    EXPECT_EQ(Occurrences(text, "[Orlo's Peerkin]"), 1U) << text;
    EXPECT_LT(text.find("Top=1500"), text.find("Left=30")) << text;
    EXPECT_EQ(Read(L"Top"), L"1500");
    EXPECT_EQ(Read(L"Left"), L"30");
}

TEST_F(SettingsFile, WritingKeepsOtherSectionsAndKeys)
{
    HandWrite("[Other]\r\nTop=1\r\n[Orlo's Peerkin]\r\nColour=red\r\n");
    Write(L"Top", L"45");
    std::string text = Text();
    EXPECT_NE(text.find("[Other]\r\nTop=1"), std::string::npos) << text;
    EXPECT_NE(text.find("Colour=red"), std::string::npos) << text;
    EXPECT_LT(text.find("Colour=red"), text.find("Top=45")) << "a new key goes after the keys already there";
    EXPECT_EQ(Read(L"Top"), L"45");
}

TEST_F(SettingsFile, ANewSectionAfterALastLineEndingInALoneCarriageReturn)
{
    HandWrite("[Other]\r\nTop=1\r");
    Write(L"Top", L"45");
    EXPECT_EQ(Text(), "[Other]\r\nTop=1\r\n[Orlo's Peerkin]\r\nTop=45\r\n");
}

TEST_F(SettingsFile, WritingToAHandWrittenSectionInOtherCaseReplacesIt)
{
    HandWrite("[ORLO'S PEERKIN]\r\nTOP=1\r\n");
    Write(L"Top", L"2");
    std::string text = Text();
    EXPECT_EQ(Occurrences(text, "["), 1U) << text;
    EXPECT_EQ(NonEmptyLines(text).size(), 2U) << text;
    EXPECT_EQ(Read(L"Top"), L"2");
}

struct HandWrittenCase {
    const char* text;
    const wchar_t* key;
    const wchar_t* expected;
    const char* why;
};

class HandWrittenFiles : public SettingsFile, public testing::WithParamInterface<HandWrittenCase> { };

TEST_P(HandWrittenFiles, ReadAsTheProgramExpects)
{
    HandWrite(GetParam().text);
    EXPECT_EQ(Read(GetParam().key, L"default"), GetParam().expected) << GetParam().why;
}

INSTANTIATE_TEST_SUITE_P(LetterCaseAndLayout, HandWrittenFiles,
    testing::Values(HandWrittenCase { "[orlo's peerkin]\r\ntop=1500\r\n", L"Top", L"1500", "all lower case" },
        HandWrittenCase { "[ORLO'S PEERKIN]\r\nLEFT=-90\r\n", L"Left", L"-90", "all upper case" },
        HandWrittenCase { "[oRLO'S pEERKIN]\r\ntOP=7\r\n", L"TOP", L"7", "caller in upper case" },
        HandWrittenCase { "[Orlo's Peerkin]\r\ntop=7\r\n", L"tOp", L"7", "caller in mixed case" },
        HandWrittenCase { "[Orlo's Peerkin]\r\nTop = 1500\r\n", L"Top", L"1500", "spaces around the equals sign" },
        HandWrittenCase { "[Other]\r\nTop=5\r\n; note\r\n[Orlo's Peerkin]\r\nTop=9\r\n", L"Top", L"9",
            "another section holds the same key" },
        HandWrittenCase { "[Orlo's Peerkin]\nTop=12\nLeft=34\n", L"Left", L"34", "Unix line ends" }));

INSTANTIATE_TEST_SUITE_P(MissingOrEmpty, HandWrittenFiles,
    testing::Values(HandWrittenCase { "[Orlo's Peerkin]\r\nTop=\r\n", L"Top", L"default", "empty value" },
        HandWrittenCase { "[Orlo's Peerkin]\r\nLeft=5\r\n", L"Top", L"default", "key missing" },
        HandWrittenCase { "[Other]\r\nTop=5\r\n", L"Top", L"default", "section missing" },
        HandWrittenCase { "", L"Top", L"default", "empty file" }));

TEST_F(SettingsFile, ValueLongerThanTheBufferReadsAsItsFirst2047Characters)
{
    std::string value;
    for (int i = 0; i < 3000; ++i)
        value.push_back(static_cast<char>('a' + i % 26));
    HandWrite("[Orlo's Peerkin]\r\nTop=" + value + "\r\n");
    std::wstring read = Read(L"Top");
    ASSERT_EQ(read.size(), 2047U);
    EXPECT_EQ(read, std::wstring(value.begin(), value.begin() + 2047));
}

TEST_F(SettingsFile, ValueThatJustFitsReadsWhole)
{
    std::string value(2047, '7');
    HandWrite("[Orlo's Peerkin]\r\nTop=" + value + "\r\n");
    EXPECT_EQ(Read(L"Top"), std::wstring(value.begin(), value.end()));
}

TEST_F(SettingsFile, MissingFileGivesTheDefaultAndIsNotCreated)
{
    EXPECT_EQ(Read(L"Top", L""), L"");
    EXPECT_EQ(Read(L"Left", L"fallback"), L"fallback");
    EXPECT_FALSE(Exists(m_file));
}

TEST_F(SettingsFile, FileInAMissingFolderReadsTheDefaultAndWritesNothing)
{
    std::wstring file = m_temp.Path() + L"no folder\\Peerkin.ini";
    Commands::WriteIni(Section, L"Top", L"5", file);
    EXPECT_FALSE(Exists(file));
    EXPECT_EQ(Commands::ReadIni(Section, L"Top", file, L"none"), L"none");
}

} // namespace
