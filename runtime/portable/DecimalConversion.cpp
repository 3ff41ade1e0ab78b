#include "DecimalConversion.h"

#include "Failure.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace forms {
namespace {

// A non-negative integer of up to Capacity 32-bit limbs. The largest number
// the comparisons below build has about 2,700 bits.
class BigNumber {
public:
    explicit BigNumber(std::uint64_t value)
    {
        m_limbs[0] = static_cast<std::uint32_t>(value);
        m_limbs[1] = static_cast<std::uint32_t>(value >> 32);
        m_size = m_limbs[1] ? 2 : (m_limbs[0] ? 1 : 0);
    }

    // this = this * factor + addend
    void MultiplyAdd(std::uint32_t factor, std::uint32_t addend)
    {
        std::uint64_t carry = addend;
        for (std::size_t i = 0; i < m_size; ++i) {
            std::uint64_t product = static_cast<std::uint64_t>(m_limbs[i]) * factor + carry;
            m_limbs[i] = static_cast<std::uint32_t>(product);
            carry = product >> 32;
        }
        if (carry)
            Append(static_cast<std::uint32_t>(carry));
    }

    void MultiplyByPowerOf5(int exponent)
    {
        constexpr std::uint32_t FiveToThe13 = 1220703125;
        for (; exponent >= 13; exponent -= 13)
            MultiplyAdd(FiveToThe13, 0);
        std::uint32_t rest = 1;
        for (; exponent > 0; --exponent)
            rest *= 5;
        MultiplyAdd(rest, 0);
    }

    void MultiplyByPowerOf2(int exponent)
    {
        if (m_size == 0 || exponent <= 0)
            return;
        std::size_t limbs = static_cast<std::size_t>(exponent) / 32;
        unsigned bits = static_cast<unsigned>(exponent) % 32;
        if (bits) {
            MultiplyAdd(std::uint32_t { 1 } << bits, 0);
        }
        if (m_size + limbs > Capacity)
            Fail(FailureCode::Overflow);
        for (std::size_t i = m_size; i-- > 0;)
            m_limbs[i + limbs] = m_limbs[i];
        for (std::size_t i = 0; i < limbs; ++i)
            m_limbs[i] = 0;
        m_size += limbs;
    }

    // Negative, zero or positive as a is less than, equal to or greater than b.
    friend int Compare(const BigNumber& a, const BigNumber& b)
    {
        if (a.m_size != b.m_size)
            return a.m_size < b.m_size ? -1 : 1;
        for (std::size_t i = a.m_size; i-- > 0;) {
            if (a.m_limbs[i] != b.m_limbs[i])
                return a.m_limbs[i] < b.m_limbs[i] ? -1 : 1;
        }
        return 0;
    }

private:
    static constexpr std::size_t Capacity = 128;

    void Append(std::uint32_t limb)
    {
        if (m_size == Capacity)
            Fail(FailureCode::Overflow);
        m_limbs[m_size++] = limb;
    }

    std::array<std::uint32_t, Capacity> m_limbs {};
    std::size_t m_size = 0;
};

// Compares digits * 10^decimalExponent with factor * 2^binaryExponent, exactly.
int CompareScaled(const BigNumber& digits, int decimalExponent, std::uint64_t factor, int binaryExponent)
{
    int leftFives = decimalExponent;
    int leftTwos = decimalExponent;
    int rightFives = 0;
    int rightTwos = binaryExponent;
    if (leftFives < 0) {
        rightFives = -leftFives;
        leftFives = 0;
    }
    int common = leftTwos < rightTwos ? leftTwos : rightTwos;
    leftTwos -= common;
    rightTwos -= common;
    BigNumber left = digits;
    left.MultiplyByPowerOf5(leftFives);
    left.MultiplyByPowerOf2(leftTwos);
    BigNumber right(factor);
    right.MultiplyByPowerOf5(rightFives);
    right.MultiplyByPowerOf2(rightTwos);
    return Compare(left, right);
}

// The powers of ten that a double holds exactly.
constexpr std::array<double, 23> ExactPowersOf10 { 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22 };
constexpr int LargestExactPower = 22;

// value * 10^exponent, rounded at every step: close, not exact.
double ScaleByPowerOf10(double value, int exponent)
{
    for (; exponent > LargestExactPower; exponent -= LargestExactPower)
        value *= ExactPowersOf10[LargestExactPower];
    for (; exponent < -LargestExactPower; exponent += LargestExactPower)
        value /= ExactPowersOf10[LargestExactPower];
    std::size_t index = static_cast<std::size_t>(exponent < 0 ? -exponent : exponent);
    return exponent < 0 ? value / ExactPowersOf10[index] : value * ExactPowersOf10[index];
}

// A double as mantissa * 2^exponent, and the factors of the midpoints to its
// neighbours: upperFactor * 2^(exponent - 1) and lowerFactor * 2^lowerExponent.
struct Binary64 {
    std::uint64_t mantissa;
    int exponent;
    std::uint64_t upperFactor;
    std::uint64_t lowerFactor;
    int lowerExponent;
};

Binary64 Decompose(double value)
{
    auto bits = std::bit_cast<std::uint64_t>(value);
    int field = static_cast<int>(bits >> 52);
    std::uint64_t fraction = bits & ((std::uint64_t { 1 } << 52) - 1);
    Binary64 parts {};
    parts.mantissa = field ? fraction | (std::uint64_t { 1 } << 52) : fraction;
    parts.exponent = field ? field - 1075 : -1074;
    parts.upperFactor = 2 * parts.mantissa + 1;
    // Below a power of two the gap to the neighbour is half as wide.
    bool narrowBelow = fraction == 0 && field > 1;
    parts.lowerFactor = narrowBelow ? 4 * parts.mantissa - 1 : 2 * parts.mantissa - 1;
    parts.lowerExponent = narrowBelow ? parts.exponent - 2 : parts.exponent - 1;
    return parts;
}

double NextUp(double value)
{
    return std::bit_cast<double>(std::bit_cast<std::uint64_t>(value) + 1);
}

double NextDown(double value)
{
    return std::bit_cast<double>(std::bit_cast<std::uint64_t>(value) - 1);
}

// Walks from a close guess to the double nearest to digits * 10^exponent.
double CorrectlyRounded(const BigNumber& digits, int exponent, double guess)
{
    double value = guess;
    for (;;) {
        Binary64 parts = Decompose(value);
        int aboveUpper = CompareScaled(digits, exponent, parts.upperFactor, parts.exponent - 1);
        if (aboveUpper > 0) {
            value = NextUp(value);
            if (value == std::numeric_limits<double>::infinity())
                return value;
            continue;
        }
        if (value == 0)
            return value;
        int aboveLower = CompareScaled(digits, exponent, parts.lowerFactor, parts.lowerExponent);
        if (aboveLower < 0) {
            value = NextDown(value);
            continue;
        }
        bool odd = parts.mantissa & 1;
        if (aboveUpper == 0 && odd)
            return NextUp(value);
        if (aboveLower == 0 && odd)
            return NextDown(value);
        return value;
    }
}

// The digits of a decimal number as an integer and a power of ten. Beyond
// MaxDigits significant digits only whether any of the rest is non-zero
// matters: that decides halfway cases, and a single 1 in their place keeps it.
struct DecimalParts {
    BigNumber digits { 0 };
    std::uint64_t leading = 0; // the first LeadingDigits digits
    int leadingCount = 0;
    int count = 0;
    int exponent = 0;
};

constexpr int MaxDigits = 800;
constexpr int LeadingDigits = 19;
constexpr int ExponentLimit = 100000; // far beyond any double, far within int

class DecimalReader {
public:
    explicit DecimalReader(std::string_view number)
        : m_number(number)
    {
    }

    DecimalParts Read()
    {
        bool afterPoint = false;
        bool droppedNonZero = false;
        for (; m_at < m_number.size() && m_number[m_at] != 'E' && m_number[m_at] != 'e'; ++m_at) {
            char c = m_number[m_at];
            if (c == '.')
                afterPoint = true;
            else
                TakeDigit(static_cast<std::uint32_t>(c - '0'), afterPoint, droppedNonZero);
        }
        if (droppedNonZero)
            Keep(1, true);
        m_parts.exponent += ReadExponent();
        return m_parts;
    }

private:
    void TakeDigit(std::uint32_t digit, bool afterPoint, bool& droppedNonZero)
    {
        if (m_parts.count == 0 && digit == 0) {
            m_parts.exponent -= afterPoint ? 1 : 0;
        } else if (m_parts.count < MaxDigits) {
            Keep(digit, afterPoint);
        } else {
            droppedNonZero = droppedNonZero || digit != 0;
            m_parts.exponent += afterPoint ? 0 : 1;
        }
    }

    void Keep(std::uint32_t digit, bool afterPoint)
    {
        m_parts.digits.MultiplyAdd(10, digit);
        if (m_parts.leadingCount < LeadingDigits) {
            m_parts.leading = m_parts.leading * 10 + digit;
            ++m_parts.leadingCount;
        }
        ++m_parts.count;
        m_parts.exponent -= afterPoint ? 1 : 0;
    }

    int ReadExponent()
    {
        if (m_at >= m_number.size())
            return 0;
        ++m_at; // the E
        bool negative = m_at < m_number.size() && m_number[m_at] == '-';
        if (m_at < m_number.size() && (m_number[m_at] == '-' || m_number[m_at] == '+'))
            ++m_at;
        int value = 0;
        for (; m_at < m_number.size(); ++m_at) {
            if (value < ExponentLimit)
                value = value * 10 + (m_number[m_at] - '0');
        }
        return negative ? -value : value;
    }

    std::string_view m_number;
    std::size_t m_at = 0;
    DecimalParts m_parts;
};

constexpr int LargestDecimalMagnitude = 310; // 10^309 is beyond the double range
constexpr int SmallestDecimalMagnitude = -330; // 10^-330 rounds to 0
constexpr int LargestExactInteger = 15; // digits that a double always holds

} // namespace

double DecimalToDouble(std::string_view number)
{
    DecimalParts parts = DecimalReader(number).Read();
    if (parts.count == 0)
        return 0.0;
    int magnitude = parts.count + parts.exponent; // the value is below 10^magnitude
    if (magnitude > LargestDecimalMagnitude)
        return std::numeric_limits<double>::infinity();
    if (magnitude < SmallestDecimalMagnitude)
        return 0.0;
    double leading = static_cast<double>(parts.leading);
    bool exact = parts.count <= LargestExactInteger && parts.exponent >= -LargestExactPower
        && parts.exponent <= LargestExactPower;
    if (exact) // one correctly rounded operation on exact operands
        return ScaleByPowerOf10(leading, parts.exponent);
    double guess = ScaleByPowerOf10(leading, parts.exponent + parts.count - parts.leadingCount);
    if (guess == std::numeric_limits<double>::infinity())
        guess = std::numeric_limits<double>::max();
    if (guess == 0)
        guess = std::numeric_limits<double>::denorm_min();
    return CorrectlyRounded(parts.digits, parts.exponent, guess);
}

namespace {

constexpr std::uint32_t SmallestSevenDigits = 1000000;
constexpr std::uint32_t BeyondSevenDigits = 10000000;

// mantissa * 2^exponent * 10^scale rounded to a whole number, halves to even;
// BeyondSevenDigits + 1 for anything larger than seven digits.
std::uint32_t RoundScaled(std::uint32_t mantissa, int exponent, int scale)
{
    double value = static_cast<double>(mantissa) * ScaleByPowerOf10(1.0, scale);
    for (int twos = exponent; twos > 0; --twos)
        value *= 2;
    for (int twos = exponent; twos < 0; ++twos)
        value /= 2;
    if (!(value < BeyondSevenDigits + 1.0))
        return BeyondSevenDigits + 1;
    auto rounded = static_cast<std::uint64_t>(value + 0.5);
    BigNumber digits(mantissa);
    for (;;) {
        int aboveUpper = CompareScaled(digits, scale, 2 * rounded + 1, -exponent - 1);
        if (aboveUpper > 0) {
            ++rounded;
            continue;
        }
        int aboveLower = rounded ? CompareScaled(digits, scale, 2 * rounded - 1, -exponent - 1) : 1;
        if (aboveLower < 0) {
            --rounded;
            continue;
        }
        if (aboveUpper == 0 && rounded % 2)
            ++rounded;
        else if (aboveLower == 0 && rounded % 2)
            --rounded;
        return static_cast<std::uint32_t>(rounded);
    }
}

} // namespace

SevenDigits ToSevenDigits(float value)
{
    auto bits = std::bit_cast<std::uint32_t>(value);
    int field = static_cast<int>(bits >> 23);
    std::uint32_t fraction = bits & 0x7FFFFF;
    std::uint32_t mantissa = field ? fraction | 0x800000 : fraction;
    int exponent = field ? field - 150 : -149;
    // A first guess at the power of ten of the leading digit: log10(2) is
    // close to 78913 / 2^18. The loop below settles it.
    int bitLength = exponent + static_cast<int>(std::bit_width(mantissa));
    int decimal = ((bitLength - 1) * 78913) >> 18;
    for (;;) {
        std::uint32_t digits = RoundScaled(mantissa, exponent, 6 - decimal);
        if (digits < SmallestSevenDigits)
            --decimal;
        else if (digits > BeyondSevenDigits)
            ++decimal;
        else if (digits == BeyondSevenDigits)
            return SevenDigits { SmallestSevenDigits, decimal + 1 };
        else
            return SevenDigits { digits, decimal };
    }
}

} // namespace forms
