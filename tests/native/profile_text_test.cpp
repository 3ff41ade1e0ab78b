// The settings-file text: what the Linux profile services read and write.
// Expected bytes are what the platform's own services give for the same file
// and call, except where noted: those rewrite the whole file in a tidied
// form, while here every line not edited stays byte for byte.
#include "ProfileText.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <random>
#include <string>

namespace {

using namespace std::string_literals;
using forms::profile::FindValue;

// ASCII text as UTF-16 LE or BE with its byte-order mark.
std::string Utf16(std::string_view ascii, bool bigEndian = false)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : ascii) {
        bytes.push_back(bigEndian ? '\0' : c);
        bytes.push_back(bigEndian ? c : '\0');
    }
    return bytes;
}

// ---- Reading ---------------------------------------------------------------

struct ReadCase {
    std::string file;
    const char* section;
    const char* key;
    std::optional<std::string> expected; // nullopt: not there, the caller's default
    const char* why;
};

class ProfileRead : public testing::TestWithParam<ReadCase> { };

TEST_P(ProfileRead, FindsWhatTheServiceFinds)
{
    const ReadCase& c = GetParam();
    EXPECT_EQ(FindValue(c.file, c.section, c.key), c.expected) << c.why;
}

INSTANTIATE_TEST_SUITE_P(ProfileLayout, ProfileRead,
    testing::Values(ReadCase { "[A]\r\nx=1\r\n", "A", "x", "1", "plain" },
        ReadCase { "[orlo's peerkin]\r\ntop=7\r\n", "ORLO'S PEERKIN", "TOP", "7", "letter case ignored" },
        ReadCase { "[A]\r\n\tk\t= \v v w\f \r\n", "A", "k", "v w", "blanks trimmed, inner ones kept" },
        ReadCase { "[A]\r\nk=1\r\n", " A\t", " k ", "1", "caller's names trimmed" },
        ReadCase { "[A]\nx=12\ny=34\n", "A", "y", "34", "LF line ends" },
        ReadCase { "[A]\rx=1\ry=2\r", "A", "y", "2", "CR line ends" },
        ReadCase { "[A]\r\nk=a=b\r\n", "A", "k", "a=b", "the first '=' splits" },
        ReadCase { "[A]\r\nx=\r\n", "A", "x", "", "empty value is there, empty" },
        ReadCase { "[A]\r\nfoo\r\nfoo=1\r\n", "A", "foo", std::nullopt, "a line without '=' is the first foo" },
        ReadCase { "[A]\r\nx=1\r\n", "A", "y", std::nullopt, "key missing" },
        ReadCase { "[A]\r\nx=1\r\n", "B", "x", std::nullopt, "section missing" },
        ReadCase { "", "A", "x", std::nullopt, "empty file" },
        ReadCase { "[Other]\r\nTop=5\r\n[A]\r\nTop=9\r\n", "A", "Top", "9", "same key in another section" },
        ReadCase { "[A]\r\nx=1\r\n[a]\r\ny=2\r\n", "A", "y", std::nullopt, "a repeated section is ignored" },
        ReadCase { "[AB]\r\nxy=1\r\n[A]\r\nxy=2\r\nx=3\r\n", "A", "x", "3", "longer names are others" },
        ReadCase { "[A]\r\nx=1\r\nX=2\r\n", "A", "x", "1", "the first key counts" },
        ReadCase { "[A] junk\r\nx=1\r\n", "A", "x", "1", "text after ']' ignored" },
        ReadCase { "  [ D ]\r\nw=4\r\n", "D", "w", "4", "header indented, name trimmed" },
        ReadCase { "[a]b]\r\nx=1\r\n", "a]b", "x", "1", "the name runs to the last ']'" },
        ReadCase { "[B]\r\ny=2\r\n[C\r\nz=3\r\n", "B", "z", "3", "'[' without ']' is no header" },
        ReadCase { "[A]\r\n;x=1\r\n", "A", ";x", "1", "a comment is a line like others" },
        ReadCase { "p=0\r\n[A]\r\n", "", "p", "0", "lines before any header: the empty name" },
        ReadCase { "[]\r\nx=1\r\n", "", "x", std::nullopt, "the empty name is taken by the lines before" },
        ReadCase { "[A]\r\nx=1\0junk\r\ny=2\r\n"s, "A", "x", "1", "NUL ends what a line says" },
        ReadCase { "[A]\r\nx=1\0junk\r\ny=2\r\n"s, "A", "y", "2", "the line after a NUL" }));

INSTANTIATE_TEST_SUITE_P(ProfileQuotes, ProfileRead,
    testing::Values(ReadCase { "[A]\r\nq=\"hi there\"\r\n", "A", "q", "hi there", "double quotes" },
        ReadCase { "[A]\r\nq='x'\r\n", "A", "q", "x", "single quotes" },
        ReadCase { "[A]\r\nq=\"a'\r\n", "A", "q", "\"a'", "unmatched pair kept" },
        ReadCase { "[A]\r\nq=\"\r\n", "A", "q", "\"", "one quote alone kept" },
        ReadCase { "[A]\r\nq=\"\"\r\n", "A", "q", "", "empty quotes" },
        ReadCase { "[A]\r\nq=\" x \"\r\n", "A", "q", " x ", "blanks inside quotes kept" },
        ReadCase { "[A]\r\nq= \"y\" \r\n", "A", "q", "y", "trimmed before the quotes go" }));

INSTANTIATE_TEST_SUITE_P(ProfileEncodings, ProfileRead,
    testing::Values(ReadCase { Utf16("[A]\r\nx=hello\r\n"), "A", "x", "hello", "UTF-16 LE" },
        ReadCase { Utf16("[A]\r\nx=hello\r\n", true), "a", "X", "hello", "UTF-16 BE" },
        ReadCase { "\xEF\xBB\xBF[A]\r\nx=hello\r\n", "A", "x", "hello", "UTF-8 mark skipped" },
        ReadCase { Utf16("[A]\r\nx=hello\r\n").substr(2), "A", "x", std::nullopt, "UTF-16 without a mark is bytes" },
        ReadCase { Utf16("[A]\r\nx=hello\r\n") + "A", "A", "x", "hello", "odd last byte" },
        ReadCase { "\xFF\xFE[\0A\0]\0\n\0x\0=\0\xE9\0\xAC\x20=\xD8\x00\xDE"s, "A", "x", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80",
            "UTF-16 to UTF-8, pairs joined" },
        ReadCase { "\xFF\xFE[\0A\0]\0\n\0x\0=\0\x00\xD8z\0"s, "A", "x", "\xEF\xBF\xBDz", "lone surrogate: U+FFFD" }));

// ---- Writing ---------------------------------------------------------------

struct WriteCase {
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
    const char* why;
};

class ProfileWrite : public testing::TestWithParam<WriteCase> { };

TEST_P(ProfileWrite, WritesTheServicesBytes)
{
    const WriteCase& c = GetParam();
    EXPECT_EQ(forms::profile::SetValue(c.before, c.section, c.key, c.value), c.after) << c.why;
}

INSTANTIATE_TEST_SUITE_P(ProfileSetValue, ProfileWrite,
    testing::Values(WriteCase { "", "Sec", "Key", "Val", "[Sec]\r\nKey=Val\r\n", "new file" },
        WriteCase { "[A]\r\nx=1\r\n", "Sec", "Key", "Val", "[A]\r\nx=1\r\n[Sec]\r\nKey=Val\r\n", "new section last" },
        WriteCase { "[A]\r\nx=1", "S", "k", "v", "[A]\r\nx=1\r\n[S]\r\nk=v\r\n", "last line ended first" },
        WriteCase { "p=1\r\n", "A", "j", "2", "p=1\r\n[A]\r\nj=2\r\n", "after lines of no section" },
        WriteCase { "[A]\r\nx=1\r\n", "", "k", "v", "k=v\r\n[A]\r\nx=1\r\n", "the empty name: the top" },
        WriteCase { "[A]\r\nx=1", "A", "k", "v", "[A]\r\nx=1\r\nk=v\r\n", "new key after an unended line" },
        WriteCase { "[A]", "A", "k", "v", "[A]\r\nk=v\r\n", "new key after an unended header" },
        WriteCase { "[B]\r\ny=2\r\n[C\r\nz=3\r\n", "B", "n", "1", "[B]\r\ny=2\r\n[C\r\nz=3\r\nn=1\r\n",
            "'[' without ']' belongs to the section" },
        WriteCase { "[A]\r\n", "a", "KeY", "v", "[A]\r\nKeY=v\r\n", "new key as the caller spells it" },
        WriteCase { "[a]\r\nKEY = old \r\nz=3\r\n", "A", "key", "new", "[a]\r\nKEY=new\r\nz=3\r\n",
            "replaced in place, the file's spelling" },
        WriteCase { "[A]\r\n\t k = 1\r\n", "A", " k ", "2", "[A]\r\nk=2\r\n", "indented line, caller's blanks" },
        WriteCase { "[A]\r\nfoo\r\nbar=1\r\n", "A", "foo", "1", "[A]\r\nfoo=1\r\nbar=1\r\n", "a line without '='" },
        WriteCase { "[a]\r\n KEY = old \r\n", "A", "KEY", "old", "[a]\r\n KEY = old \r\n", "same value: untouched" },
        WriteCase { "[A]\r\nk=\"old\"\r\n", "A", "k", "old", "[A]\r\nk=old\r\n", "quoted is not the same" },
        WriteCase { "[A]\r\nk=OLD\r\n", "A", "k", "old", "[A]\r\nk=old\r\n", "value's case counts" },
        WriteCase { "[A]\r\nk=1\r\n", "A", "k", "", "[A]\r\nk=\r\n", "empty value" },
        WriteCase { "", "A", "k", "  v  ", "[A]\r\nk=v  \r\n", "leading blanks of a value dropped" },
        WriteCase { "", "A", "k", "a\r\nb=c", "[A]\r\nk=a\r\nb=c\r\n", "a line end in the value is written" },
        WriteCase { "[A]\r\nx=1\r\n[a]\r\ny=2\r\n", "A", "y", "3", "[A]\r\nx=1\r\ny=3\r\n[a]\r\ny=2\r\n",
            "into the first of two sections" },
        WriteCase { "[A]\r\nx=1\r\nX=2\r\n", "A", "x", "3", "[A]\r\nx=3\r\nX=2\r\n", "the first of two keys" }));

// The platform's services drop blank lines and tidy every line they write;
// here only the line written changes.
INSTANTIATE_TEST_SUITE_P(ProfileKeepsOtherBytes, ProfileWrite,
    testing::Values(WriteCase { "[A]\r\nx=1\r\n\r\n", "S", "k", "v", "[A]\r\nx=1\r\n\r\n[S]\r\nk=v\r\n", "blank line" },
        WriteCase { "[A]\r\nx=1\r\n \t\r\n\r\n[B]\r\ny=2\r\n", "A", "k", "v",
            "[A]\r\nx=1\r\nk=v\r\n \t\r\n\r\n[B]\r\ny=2\r\n", "new key before the blank lines" },
        WriteCase { "[A]\r\nx=1\r\n;c\r\n\r\n[B]\r\n", "A", "k", "v", "[A]\r\nx=1\r\n;c\r\nk=v\r\n\r\n[B]\r\n",
            "new key after a comment" },
        WriteCase { "[A]\r\n\r\n[B]\r\n", "A", "k", "v", "[A]\r\nk=v\r\n\r\n[B]\r\n", "new key in an empty section" },
        WriteCase { "  [A]  note\r\nk = 1\r\n", "A", "j", "2", "  [A]  note\r\nk = 1\r\nj=2\r\n", "lines as written" },
        WriteCase { "[A]\nx=1\n\n[B]\n", "A", "k", "v", "[A]\nx=1\nk=v\r\n\n[B]\n", "LF file: new line CRLF" },
        WriteCase { "[A]\rx=1\ry=2\r", "A", "y", "5", "[A]\rx=1\ry=5\r", "replaced line keeps its line end" },
        WriteCase { "[A]\rx=1\r", "A", "k", "v", "[A]\rx=1\r\nk=v\r\n", "a last lone CR completed before a new key" },
        WriteCase { "[A]\r\nx=1\0junk\r\n"s, "A", "z", "3", "[A]\r\nx=1\0junk\r\nz=3\r\n"s, "NUL and after kept" }));

INSTANTIATE_TEST_SUITE_P(ProfileEncodings, ProfileWrite,
    testing::Values(WriteCase { Utf16("[A]\r\nx=hello\r\n"), "A", "y", "2", Utf16("[A]\r\nx=hello\r\ny=2\r\n"), "LE" },
        WriteCase { Utf16("[A]\r\nx=1\r\n", true), "A", "y", "2", Utf16("[A]\r\nx=1\r\ny=2\r\n", true), "BE" },
        WriteCase { Utf16(""), "A", "y", "2", Utf16("[A]\r\ny=2\r\n"), "only the mark" },
        WriteCase { "\xEF\xBB\xBF[A]\r\nx=1\r\n", "A", "y", "2", "\xEF\xBB\xBF[A]\r\nx=1\r\ny=2\r\n", "UTF-8 mark" },
        WriteCase { "\xEF\xBB\xBF", "A", "y", "2", "\xEF\xBB\xBF[A]\r\ny=2\r\n", "only the UTF-8 mark" },
        WriteCase { Utf16("[A]\r\n"), "A", "y", "caf\xC3\xA9", Utf16("[A]\r\ny=caf") + "\xE9\0\r\0\n\0"s, "UTF-8 in" },
        WriteCase { Utf16(""), "A", "y", "\xC0\xAF\xE9", Utf16("[A]\r\ny=") + "\xFD\xFF\xFD\xFF\xFD\xFF\r\0\n\0"s,
            "bytes that are not UTF-8: U+FFFD each" },
        WriteCase { Utf16("[A]\r\nx=") + "\x00\xD8"s + Utf16("\r\n").substr(2), "A", "y", "2",
            Utf16("[A]\r\nx=") + "\x00\xD8"s + Utf16("\r\ny=2\r\n").substr(2), "lone surrogate kept" }));

// ---- Bad input -------------------------------------------------------------

std::string RandomBytes(std::size_t count, unsigned seed)
{
    std::mt19937 generator(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string bytes(count, '\0');
    for (char& c : bytes)
        c = static_cast<char>(byte(generator));
    return bytes;
}

// After a lead byte, as text, or after a UTF-16 mark, as units of two bytes.
TEST(ProfileBadInput, RandomBytesKeptAndTheNewValueReads)
{
    for (const std::string lead : { "x", "\xFF\xFE" }) {
        for (unsigned seed = 1; seed <= 4; ++seed) {
            std::string junk = lead + RandomBytes(65536, seed);
            std::string written = forms::profile::SetValue(junk, "Orlo's Peerkin", "Top", "1500");
            EXPECT_EQ(written.substr(0, junk.size()), junk);
            EXPECT_EQ(FindValue(written, "Orlo's Peerkin", "Top"), "1500");
        }
    }
}

TEST(ProfileBadInput, FourMegabytesInOneLine)
{
    std::string repeated;
    for (int i = 0; i < 220000; ++i)
        repeated += "Top=1500 Left=3000 ";
    std::string header = "[Orlo's Peerkin]" + repeated;
    EXPECT_EQ(FindValue(header, "Orlo's Peerkin", "Top"), std::nullopt) << "the keys are on the header line";
    std::string written = forms::profile::SetValue(header, "Orlo's Peerkin", "Top", "1");
    EXPECT_EQ(written, header + "\r\nTop=1\r\n");

    std::string longValue = "[S]\r\nk=" + repeated + "\r\n";
    EXPECT_EQ(FindValue(longValue, "S", "k"), repeated.substr(0, repeated.size() - 1));
    EXPECT_EQ(forms::profile::SetValue(longValue, "S", "k", "2"), "[S]\r\nk=2\r\n");
}

TEST(ProfileBadInput, ManySectionsAndLines)
{
    std::string file;
    for (int n = 0; n < 5000; ++n)
        file += "[Section " + std::to_string(n) + "]\r\nTop=" + std::to_string(n) + "\r\n";
    for (int n = 0; n < 100000; ++n)
        file += "k" + std::to_string(n) + "=" + std::to_string(n) + "\r\n";
    file += "[Orlo's Peerkin]\r\nTop=1500\r\nLeft=3000\r\n";
    EXPECT_EQ(FindValue(file, "Section 4999", "k99999"), "99999");
    EXPECT_EQ(FindValue(file, "Orlo's Peerkin", "Left"), "3000");
    std::string written = forms::profile::SetValue(file, "Orlo's Peerkin", "Left", "30");
    EXPECT_EQ(written, file.substr(0, file.size() - 6) + "30\r\n");
    EXPECT_EQ(forms::profile::SetValue(file, "Section 4999", "new", "1").find("k99999=99999\r\nnew=1\r\n[Orlo"),
        file.size() - 53);
}

} // namespace
