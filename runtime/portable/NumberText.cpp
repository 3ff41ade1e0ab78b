#include "NumberText.h"

#include "Checked.h"
#include "DecimalConversion.h"
#include "Failure.h"

#include <cctype>
#include <cmath>
#include <string>

namespace forms {
namespace {

bool IsIgnored(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n';
}

// The text without the characters that reading skips; anything that is not
// plain ASCII becomes a character that fits nowhere, so reading stops there.
std::string CompactAscii(std::wstring_view text)
{
    std::string compact;
    compact.reserve(text.size());
    for (wchar_t c : text) {
        if (IsIgnored(c))
            continue;
        compact.push_back(c > 0 && c < 0x80 ? static_cast<char>(c) : '\x7f');
    }
    return compact;
}

bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }

// The value of c as a digit of radix, or -1.
int DigitValue(char c, int radix)
{
    int value = -1;
    if (IsDecimalDigit(c))
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value < radix ? value : -1;
}

class NumberReader {
public:
    explicit NumberReader(std::string_view text)
        : m_text(text)
    {
    }

    double Read()
    {
        bool negative = AcceptSign();
        double magnitude = AtRadixPrefix() ? ReadRadix() : ReadDecimal();
        return negative ? -magnitude : magnitude;
    }

private:
    char Peek(std::size_t ahead = 0) const
    {
        return m_position + ahead < m_text.size() ? m_text[m_position + ahead] : '\0';
    }

    bool AcceptSign()
    {
        if (Peek() == '+' || Peek() == '-')
            return m_text[m_position++] == '-';
        return false;
    }

    bool AtRadixPrefix() const
    {
        char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(Peek(1))));
        return Peek() == '&' && (kind == 'H' || kind == 'O');
    }

    double ReadRadix()
    {
        int radix = std::toupper(static_cast<unsigned char>(Peek(1))) == 'H' ? 16 : 8;
        m_position += 2;
        double value = 0.0;
        for (int digit = DigitValue(Peek(), radix); digit >= 0; digit = DigitValue(Peek(), radix)) {
            value = CheckedResult(value * radix + digit);
            ++m_position;
        }
        return value;
    }

    std::size_t SkipDigits()
    {
        std::size_t start = m_position;
        while (IsDecimalDigit(Peek()))
            ++m_position;
        return m_position - start;
    }

    // Takes an exponent only when it is complete: E, optional sign, digits.
    void SkipExponent()
    {
        char marker = Peek();
        if (marker != 'E' && marker != 'e')
            return;
        std::size_t signLength = (Peek(1) == '+' || Peek(1) == '-') ? 1 : 0;
        if (!IsDecimalDigit(Peek(1 + signLength)))
            return;
        m_position += 1 + signLength;
        SkipDigits();
    }

    double ReadDecimal()
    {
        std::size_t start = m_position;
        std::size_t digits = SkipDigits();
        if (Peek() == '.') {
            ++m_position;
            digits += SkipDigits();
        }
        if (digits == 0)
            return 0.0;
        SkipExponent();
        return CheckedResult(DecimalToDouble(m_text.substr(start, m_position - start)));
    }

    std::string_view m_text;
    std::size_t m_position = 0;
};

// d.ddd then E, a sign and two exponent digits.
void AppendScientific(std::wstring& text, const wchar_t* digits, int count, int exponent, wchar_t separator)
{
    text += digits[0];
    if (count > 1) {
        text += separator;
        text.append(digits + 1, digits + count);
    }
    text += exponent < 0 ? L"E-" : L"E+";
    int magnitude = exponent < 0 ? -exponent : exponent; // below 100 for any float
    text += static_cast<wchar_t>(L'0' + magnitude / 10);
    text += static_cast<wchar_t>(L'0' + magnitude % 10);
}

// The digits with the separator after the units, padded with zeros.
void AppendPlain(std::wstring& text, const wchar_t* digits, int count, int exponent, wchar_t separator)
{
    if (exponent < 0) {
        text += L'0';
        text += separator;
        text.append(static_cast<std::size_t>(-exponent - 1), L'0');
        text.append(digits, digits + count);
        return;
    }
    for (int at = 0; at < count || at <= exponent; ++at) {
        if (at == exponent + 1)
            text += separator;
        text += at < count ? digits[at] : L'0';
    }
}

} // namespace

double TextToNumber(std::wstring_view text)
{
    std::string compact = CompactAscii(text);
    return NumberReader(compact).Read();
}

std::wstring NumberToText(float value, wchar_t decimalSeparator)
{
    if (value == 0.0f)
        return L"0"; // negative zero too
    std::wstring text = std::signbit(value) ? L"-" : L"";
    if (std::isnan(value) || std::isinf(value))
        return text + (std::isnan(value) ? L"NAN" : L"INF");
    SevenDigits rounded = ToSevenDigits(std::fabs(value));
    wchar_t digits[8] = L"0000000";
    for (int at = 6; at >= 0; --at, rounded.digits /= 10)
        digits[at] = static_cast<wchar_t>(L'0' + rounded.digits % 10);
    int count = 7;
    while (count > 1 && digits[count - 1] == L'0')
        --count;
    if (rounded.exponent < -4 || rounded.exponent >= 7)
        AppendScientific(text, digits, count, rounded.exponent, decimalSeparator);
    else
        AppendPlain(text, digits, count, rounded.exponent, decimalSeparator);
    return text;
}

} // namespace forms
