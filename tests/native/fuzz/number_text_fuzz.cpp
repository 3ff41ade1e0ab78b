// Fuzzes the reading of stored settings: TextToNumber must agree with a
// plain, separately written reading of the same rule on any text a hand-edited
// settings file could hold, and must never crash or fail other than with
// Overflow. Each input byte becomes one character; bytes from 0x80 on are
// characters outside ASCII, and the byte 0xFE makes the next byte a character
// from U+0100 on, whose low byte may look like a digit.
#include "Failure.h"
#include "NumberText.h"

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

// What reading should give: a value, or nullopt for an Overflow failure;
// ambiguous when rounding decides whether the value still fits.
struct Expectation {
    std::optional<double> value;
    bool ambiguous = false;
    double tolerance = 0; // relative; radix values are summed digit by digit
};

// Walks the text as the rule reads it, skipping blanks on the fly.
class ReferenceReader {
public:
    explicit ReferenceReader(const std::wstring& text)
        : m_text(text)
    {
    }

    Expectation Read()
    {
        std::string sign;
        if (Next() == L'+' || Next() == L'-')
            sign.push_back(static_cast<char>(Take()));
        if (Next() == L'&' && IsRadixLetter(NextAfterNext()))
            return ReadRadix(sign == "-");
        return ReadDecimal(sign);
    }

private:
    static bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n'; }
    static bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
    static bool IsRadixLetter(wchar_t c) { return c == L'H' || c == L'h' || c == L'O' || c == L'o'; }

    std::size_t Skip(std::size_t position) const
    {
        while (position < m_text.size() && IsBlank(m_text[position]))
            ++position;
        return position;
    }
    wchar_t At(std::size_t position) const { return position < m_text.size() ? m_text[position] : L'\0'; }
    wchar_t Next() const { return At(Skip(m_at)); }
    wchar_t NextAfterNext() const { return At(Skip(Skip(m_at) + 1)); }
    wchar_t Take()
    {
        m_at = Skip(m_at);
        return m_text[m_at++];
    }

    static int HexValue(wchar_t c)
    {
        if (IsDigit(c))
            return c - L'0';
        if (c >= L'a' && c <= L'f')
            return c - L'a' + 10;
        if (c >= L'A' && c <= L'F')
            return c - L'A' + 10;
        return 99;
    }

    Expectation ReadRadix(bool negative)
    {
        Take(); // the ampersand
        wchar_t letter = Take();
        int radix = (letter == L'H' || letter == L'h') ? 16 : 8;
        long double value = 0;
        while (HexValue(Next()) < radix)
            value = value * radix + HexValue(Take());
        // Summing up to 256 significant digits in double precision may drift
        // by one rounding per digit.
        constexpr long double drift = 1e-13L;
        Expectation expected;
        expected.tolerance = static_cast<double>(drift);
        if (value > static_cast<long double>(DBL_MAX) * (1 + drift))
            return expected; // Overflow
        if (value > static_cast<long double>(DBL_MAX) * (1 - drift))
            expected.ambiguous = true;
        double magnitude = static_cast<double>(value);
        expected.value = negative ? -magnitude : magnitude;
        return expected;
    }

    void CopyDigits(std::string& into)
    {
        while (IsDigit(Next()))
            into.push_back(static_cast<char>(Take()));
    }

    // An exponent counts only when it is complete: E, optional sign, digits.
    void CopyExponent(std::string& into)
    {
        std::size_t saved = m_at;
        if (Next() != L'E' && Next() != L'e')
            return;
        std::string exponent(1, static_cast<char>(Take()));
        if (Next() == L'+' || Next() == L'-')
            exponent.push_back(static_cast<char>(Take()));
        if (!IsDigit(Next())) {
            m_at = saved;
            return;
        }
        CopyDigits(exponent);
        into += exponent;
    }

    Expectation ReadDecimal(const std::string& sign)
    {
        std::string number = sign;
        std::size_t before = number.size();
        CopyDigits(number);
        bool anyDigit = number.size() > before;
        if (Next() == L'.') {
            number.push_back(static_cast<char>(Take()));
            std::size_t afterPoint = number.size();
            CopyDigits(number);
            anyDigit = anyDigit || number.size() > afterPoint;
        }
        Expectation expected;
        if (!anyDigit) {
            expected.value = 0.0;
            return expected;
        }
        CopyExponent(number);
        errno = 0;
        double value = std::strtod(number.c_str(), nullptr);
        if (errno == ERANGE && std::isinf(value))
            return expected; // Overflow
        expected.value = value;
        return expected;
    }

    const std::wstring& m_text;
    std::size_t m_at = 0;
};

[[noreturn]] void Disagree(const std::wstring& text, const char* what, double actual, double expected)
{
    std::fprintf(stderr, "TextToNumber disagrees (%s) on %zu characters: got %.17g, expected %.17g\n", what,
        text.size(), actual, expected);
    std::abort();
}

void Compare(const std::wstring& text, const Expectation& expected)
{
    std::optional<double> actual;
    try {
        actual = forms::TextToNumber(text);
    } catch (const forms::RuntimeFailure& failure) {
        if (failure.Code() != forms::FailureCode::Overflow)
            Disagree(text, "unexpected failure code", failure.Number(), 6);
    }
    if (expected.ambiguous)
        return;
    if (!expected.value) {
        if (actual)
            Disagree(text, "read a value where the rule overflows", *actual, HUGE_VAL);
        return;
    }
    if (!actual)
        Disagree(text, "overflowed where the rule reads a value", HUGE_VAL, *expected.value);
    double allowed = std::fabs(*expected.value) * expected.tolerance;
    if (!(std::fabs(*actual - *expected.value) <= allowed))
        Disagree(text, "different value", *actual, *expected.value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::wstring text;
    text.reserve(size);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFE && i + 1 < size)
            text.push_back(static_cast<wchar_t>(0x100 | data[++i]));
        else
            text.push_back(static_cast<wchar_t>(data[i]));
    }
    Compare(text, ReferenceReader(text).Read());
    return 0;
}
