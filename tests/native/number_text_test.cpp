// Reading stored settings back as numbers, and writing numbers as the
// double-click stores them: a position written by one run must come back
// unchanged at the next start, and a hand-edited file must read predictably.
#include "Failure.h"
#include "NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <ostream>
#include <string>

namespace {

using namespace std::string_literals;
using forms::FailureCode;
using forms::NumberToText;
using forms::TextToNumber;

// The failure code that reading text raises, or nullopt when it reads.
std::optional<FailureCode> ReadingFailure(const std::wstring& text)
{
    try {
        TextToNumber(text);
    } catch (const forms::RuntimeFailure& failure) {
        return failure.Code();
    }
    return std::nullopt;
}

struct Reading {
    std::wstring text; // a string, so that a row may hold a NUL
    double expected;
    const char* why;
};

std::ostream& operator<<(std::ostream& out, const Reading& reading) { return out << reading.why; }

class TextToNumberReads : public testing::TestWithParam<Reading> { };

TEST_P(TextToNumberReads, TheLeadingNumericPart)
{
    const Reading& reading = GetParam();
    EXPECT_DOUBLE_EQ(TextToNumber(reading.text), reading.expected) << reading.why;
}

// The rows a stored "Top" or "Left" can hold, as the settings file documents them.
INSTANTIATE_TEST_SUITE_P(DocumentedTable, TextToNumberReads,
    testing::Values(Reading { L"280", 280, "plain whole number" },
        Reading { L"-15", -15, "negative whole number" },
        Reading { L"1 5", 15, "a space inside is ignored" },
        Reading { L"12,5", 12, "a comma is no decimal separator" },
        Reading { L"1.5E2", 150, "fraction with exponent" },
        Reading { L"120abc", 120, "digits followed by letters" },
        Reading { L"abc", 0, "letters only" },
        Reading { L"", 0, "empty text" }));

INSTANTIATE_TEST_SUITE_P(Signs, TextToNumberReads,
    testing::Values(Reading { L"+7", 7, "plus sign" },
        Reading { L"+", 0, "plus sign alone" },
        Reading { L"-", 0, "minus sign alone" },
        Reading { L"--5", 0, "a second sign does not fit" },
        Reading { L"+-5", 0, "mixed signs do not fit" },
        Reading { L"5-3", 5, "a sign after digits ends reading" },
        Reading { L" - 1 . 5 E 1", -15, "blanks between every part" }));

INSTANTIATE_TEST_SUITE_P(Fractions, TextToNumberReads,
    testing::Values(Reading { L".5", 0.5, "no digits before the point" },
        Reading { L"-.25", -0.25, "sign and point without leading digit" },
        Reading { L"5.", 5, "point without digits after it" },
        Reading { L".", 0, "point alone" },
        Reading { L"1.5.3", 1.5, "a second point ends reading" },
        Reading { L"00012", 12, "leading zeros" },
        Reading { L"1,000", 1, "thousands grouping is not understood" }));

INSTANTIATE_TEST_SUITE_P(Exponents, TextToNumberReads,
    testing::Values(Reading { L"1E", 1, "exponent letter without digits" },
        Reading { L"1E+", 1, "exponent sign without digits" },
        Reading { L"1E-", 1, "negative exponent sign without digits" },
        Reading { L"1e-2", 0.01, "lower-case letter, negative exponent" },
        Reading { L"1e+2", 100, "explicit positive exponent" },
        Reading { L"2E3x", 2000, "letters after a complete exponent" },
        Reading { L"1E2.5", 100, "the exponent takes no fraction" },
        Reading { L"1D2", 1, "only E marks an exponent" },
        Reading { L"E5", 0, "an exponent needs a number before it" },
        Reading { L"1e-400", 0, "underflow reads as zero, no failure" }));

INSTANTIATE_TEST_SUITE_P(RadixPrefixes, TextToNumberReads,
    testing::Values(Reading { L"&HFF", 255, "hexadecimal" },
        Reading { L"&hff", 255, "hexadecimal in lower case" },
        Reading { L"&H7fFf", 32767, "mixed-case hexadecimal digits" },
        Reading { L"&O17", 15, "octal" },
        Reading { L"&o17", 15, "octal in lower case" },
        Reading { L"&H", 0, "hexadecimal prefix without digits" },
        Reading { L"&O", 0, "octal prefix without digits" },
        Reading { L"&HG1", 0, "a letter beyond F is no hexadecimal digit" },
        Reading { L"&O8", 0, "8 is no octal digit" },
        Reading { L"&O178", 15, "octal stops at 8" },
        Reading { L"&H1F.8", 31, "no fraction after a radix prefix" },
        Reading { L"&H1E2", 482, "E is a hexadecimal digit there, not an exponent" },
        Reading { L"& H F F", 255, "blanks inside the prefix are ignored" },
        Reading { L"&", 0, "ampersand alone" },
        Reading { L"&X1", 0, "unknown prefix" },
        Reading { L"0x10", 0, "C-style hexadecimal is not understood" }));

INSTANTIATE_TEST_SUITE_P(IgnoredAndStoppingCharacters, TextToNumberReads,
    testing::Values(Reading { L"\t1\n2", 12, "tab and line feed are ignored" },
        Reading { L"  42  ", 42, "leading and trailing spaces" },
        Reading { L"1\r2", 1, "carriage return ends reading" },
        Reading { L"\r12", 0, "carriage return before the digits" },
        Reading { L"1\v2", 1, "vertical tab is not ignored" },
        Reading { L"1\u00A02", 1, "no-break space is not ignored" },
        Reading { L"1\u00E92", 1, "a non-ASCII letter ends reading" },
        Reading { L"\uFF11\uFF12", 0, "full-width digits are not digits" },
        Reading { L"1\u01002", 1, "a character whose low byte is 0 ends reading" },
        Reading { L"1\u01312", 1, "a character whose low byte is '1' is no digit" },
        Reading { L"Infinity", 0, "the word infinity is no number" },
        Reading { L"NaN", 0, "not-a-number is no number" },
        Reading { L"12\0" L"34"s, 12, "an embedded NUL ends reading" },
        Reading { L"1" + std::wstring(10000, L' ') + L"2" + std::wstring(10000, L'\t') + L"3", 123,
            "many ignored characters between digits" }));

TEST(TextToNumber, ValuesBeyondDoubleRangeFailWithOverflow)
{
    for (const std::wstring& text :
        { std::wstring(L"1e400"), std::wstring(L"-1E400"), std::wstring(L"1") + std::wstring(400, L'0'),
            std::wstring(L"&H") + std::wstring(300, L'F'), std::wstring(L"&O") + std::wstring(400, L'7') }) {
        EXPECT_EQ(ReadingFailure(text), FailureCode::Overflow) << text.size() << " characters";
    }
}

TEST(TextToNumber, LargestDoublesStillRead)
{
    EXPECT_EQ(TextToNumber(L"1.7976931348623157e308"), 1.7976931348623157e308);
    EXPECT_EQ(TextToNumber(L"1e308"), 1e308);
    EXPECT_EQ(ReadingFailure(L"1.8e308"), FailureCode::Overflow);
}

struct Writing {
    float value;
    wchar_t separator;
    const wchar_t* expected;
};

std::ostream& operator<<(std::ostream& out, const Writing& writing) { return out << writing.value; }

class NumberToTextWrites : public testing::TestWithParam<Writing> { };

TEST_P(NumberToTextWrites, ShortestFormOfAtMostSevenDigits)
{
    const Writing& writing = GetParam();
    EXPECT_EQ(NumberToText(writing.value, writing.separator), writing.expected);
}

INSTANTIATE_TEST_SUITE_P(WholeNumbers, NumberToTextWrites,
    testing::Values(Writing { 280.0f, L'.', L"280" }, Writing { -150.0f, L'.', L"-150" },
        Writing { 100.0f, L',', L"100" }, Writing { 0.0f, L'.', L"0" }, Writing { -0.0f, L'.', L"0" },
        Writing { 1000000.0f, L'.', L"1000000" }, Writing { 9999999.0f, L'.', L"9999999" },
        Writing { -9999999.0f, L'.', L"-9999999" }));

INSTANTIATE_TEST_SUITE_P(Fractions, NumberToTextWrites,
    testing::Values(Writing { 1.5f, L'.', L"1.5" }, Writing { 1.5f, L',', L"1,5" },
        Writing { -1.5f, L',', L"-1,5" }, Writing { 0.1f, L'.', L"0.1" },
        Writing { 1.0f / 3.0f, L'.', L"0.3333333" }, Writing { 2.0f / 3.0f, L'.', L"0.6666667" },
        Writing { 123.456f, L'.', L"123.456" }, Writing { 0.0001f, L'.', L"0.0001" },
        Writing { 7.5f, L'\u066B', L"7\u066B5" }));

INSTANTIATE_TEST_SUITE_P(ENotation, NumberToTextWrites,
    testing::Values(Writing { 1e7f, L'.', L"1E+07" }, Writing { 12345678.0f, L'.', L"1.234568E+07" },
        Writing { 16777216.0f, L',', L"1,677722E+07" }, Writing { -1e8f, L'.', L"-1E+08" },
        Writing { 3.4e38f, L'.', L"3.4E+38" }, Writing { 0.00001f, L'.', L"1E-05" },
        Writing { 0.000012345f, L'.', L"1.2345E-05" }, Writing { -2.5e-10f, L'.', L"-2.5E-10" }));

TEST(NumberToText, SeparatorDefaultsToFullStop) { EXPECT_EQ(NumberToText(2.25f), L"2.25"); }

// What the double-click stores must read back as the same position at the
// next start, wherever on (or off) the screen the figure was.
TEST(NumberToText, WholeTwipsReadBackUnchanged)
{
    for (int twips = -1000000; twips <= 1000000; twips += 15) {
        float position = static_cast<float>(twips);
        std::wstring stored = NumberToText(position, L',');
        ASSERT_EQ(static_cast<float>(TextToNumber(stored)), position) << twips;
    }
}

TEST(NumberToText, SevenDigitValuesReadBackUnchanged)
{
    for (float value : { 9999999.0f, -9999999.0f, 1e7f, 123.4567f, -0.001234567f, 3.4e38f }) {
        std::wstring stored = NumberToText(value);
        double read = TextToNumber(stored);
        EXPECT_NEAR(read, value, std::fabs(value) * 1e-6) << value;
    }
}

} // namespace
