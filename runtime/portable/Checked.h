#pragma once
// Checked arithmetic: every 32-bit addition and subtraction fails on signed
// overflow, floating-point results fail on an invalid operation, a division
// by zero or an overflow, and conversions to integers round halves to even.
// Portable: no platform headers.

#include <cstdint>

namespace forms {

// a + b, or an Overflow failure.
std::int32_t AddChecked(std::int32_t a, std::int32_t b);
// a - b, or an Overflow failure.
std::int32_t SubtractChecked(std::int32_t a, std::int32_t b);

// value itself when finite; Overflow for an infinity, InvalidCall for NaN.
double CheckedResult(double value);
// numerator / denominator, failing as the platform's checked division would:
// DivisionByZero for x / 0, Overflow for 0 / 0 or an infinite quotient.
double DivideChecked(double numerator, double denominator);

// value rounded to the nearest integer, halves to even; Overflow outside the
// 32-bit range or for NaN.
std::int32_t RoundToInt32(double value);
// value rounded to the nearest 16-bit integer, halves to even, or Overflow.
std::int16_t RoundToInt16(double value);
// value rounded to single precision; Overflow when it does not fit.
float ToSingle(double value);
// value halved by integer division, the remainder dropped (toward zero).
constexpr std::int32_t HalveTruncating(std::int32_t value) { return value / 2; }

// value rounded to the nearest whole number, halves to even, as a double.
double RoundHalfEven(double value);

} // namespace forms
