#pragma once
// Conversions between numbers and texts. Portable: no platform headers.

#include <string>
#include <string_view>

namespace forms {

// The leading numeric part of text, read as a stored setting is read:
// spaces, tabs and line feeds anywhere are ignored; then an optional sign and
// either &H hexadecimal or &O octal digits, or decimal digits with an optional
// full stop and fraction and an optional exponent (E or e, optional sign,
// digits). Reading stops at the first character that does not fit; nothing
// read gives 0. A value beyond double range is an Overflow failure.
double TextToNumber(std::wstring_view text);

// A single-precision value in its shortest form of at most 7 significant
// digits: a minus sign for negatives, no point for whole numbers, the given
// decimal separator otherwise, and E notation where the plain form would need
// more than 7 digits before the point or 4 zeros after it.
std::wstring NumberToText(float value, wchar_t decimalSeparator = L'.');

} // namespace forms
