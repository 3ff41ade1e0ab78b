#include "NumberText.h"

#include "Checked.h"
#include "Failure.h"

#include <charconv>
#include <cstdlib>
#include <cctype>
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
        // strtod reads a full stop in the C locale, which this program never leaves.
        std::string number(m_text.substr(start, m_position - start));
        return CheckedResult(std::strtod(number.c_str(), nullptr));
    }

    std::string_view m_text;
    std::size_t m_position = 0;
};

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
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 7);
    std::wstring text;
    for (const char* c = buffer; c != result.ptr; ++c) {
        if (*c == '.')
            text.push_back(decimalSeparator);
        else
            text.push_back(static_cast<wchar_t>(std::toupper(static_cast<unsigned char>(*c))));
    }
    return text;
}

} // namespace forms
