#pragma once
// Exact conversions between binary floating point and decimal digits,
// rounded to the nearest, halves to even. Written out here rather than taken
// from the C and C++ libraries because the shipped program links its runtime
// statically, and those libraries' general-purpose converters cost more than
// the rest of the program together. Portable: no platform headers.

#include <cstdint>
#include <string_view>

namespace forms {

// The double nearest to a decimal number written as digits with at most one
// full stop among them (at least one digit in all), optionally followed by
// E or e, an optional sign and digits. Beyond the double range the result is
// +infinity; below it, 0.
double DecimalToDouble(std::string_view number);

// A positive value as seven significant digits: digits (1000000 to 9999999)
// times 10 to the power (exponent - 6).
struct SevenDigits {
    std::uint32_t digits;
    int exponent;
};

// value, finite and greater than zero, rounded to seven significant digits.
SevenDigits ToSevenDigits(float value);

} // namespace forms
