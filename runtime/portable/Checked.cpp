#include "Checked.h"

#include "Failure.h"

#include <cmath>
#include <limits>

namespace forms {

std::int32_t AddChecked(std::int32_t a, std::int32_t b)
{
    std::int64_t sum = std::int64_t { a } + std::int64_t { b };
    if (sum < std::numeric_limits<std::int32_t>::min() || sum > std::numeric_limits<std::int32_t>::max())
        Fail(FailureCode::Overflow);
    return static_cast<std::int32_t>(sum);
}

std::int32_t SubtractChecked(std::int32_t a, std::int32_t b)
{
    std::int64_t difference = std::int64_t { a } - std::int64_t { b };
    if (difference < std::numeric_limits<std::int32_t>::min() || difference > std::numeric_limits<std::int32_t>::max())
        Fail(FailureCode::Overflow);
    return static_cast<std::int32_t>(difference);
}

double CheckedResult(double value)
{
    if (std::isnan(value))
        Fail(FailureCode::InvalidCall);
    if (std::isinf(value))
        Fail(FailureCode::Overflow);
    return value;
}

double DivideChecked(double numerator, double denominator)
{
    if (denominator == 0.0)
        Fail(numerator == 0.0 ? FailureCode::Overflow : FailureCode::DivisionByZero);
    return CheckedResult(numerator / denominator);
}

double RoundHalfEven(double value)
{
    double below = std::floor(value);
    double fraction = value - below;
    if (fraction > 0.5)
        return below + 1.0;
    if (fraction < 0.5)
        return below;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

namespace {

// value rounded halves-to-even into Integer, or an Overflow failure.
template <typename Integer>
Integer RoundInto(double value)
{
    if (std::isnan(value))
        Fail(FailureCode::Overflow);
    double rounded = RoundHalfEven(value);
    if (rounded < static_cast<double>(std::numeric_limits<Integer>::min())
        || rounded > static_cast<double>(std::numeric_limits<Integer>::max()))
        Fail(FailureCode::Overflow);
    return static_cast<Integer>(rounded);
}

} // namespace

std::int32_t RoundToInt32(double value) { return RoundInto<std::int32_t>(value); }

std::int16_t RoundToInt16(double value) { return RoundInto<std::int16_t>(value); }

float ToSingle(double value)
{
    // Half-way between the largest single and the next power of two rounds
    // up to infinity; converting anything from there on is undefined in C++.
    constexpr double firstOverflow = 0x1.ffffffp+127;
    if (std::fabs(CheckedResult(value)) >= firstOverflow)
        Fail(FailureCode::Overflow);
    return static_cast<float>(value);
}

} // namespace forms
