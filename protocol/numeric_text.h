#pragma once

#include <string>
#include <string_view>

namespace zelta {

// The leading-number rule: blanks, tabs and line feeds are ignored wherever they stand; then an
// optional sign, digits with at most one '.', and an optional exponent are read up to the first
// other character. No leading number gives 0; a comma ends the number.
double leadingNumber(std::string_view text);

// Rounds to the nearest integer, halves to even, clamped to the range of int.
int roundHalfEven(double value);

// Formats a number with the pattern "##0.##": at least one integer digit, at most two decimals,
// no trailing zeros, and the decimal separator written even when no decimals follow ("75,").
std::string formatPercentPattern(double value, char decimalSeparator);

// At least three digits, zero-padded ("000").
std::string formatThreeDigits(std::size_t value);

// Removes leading and trailing spaces (code 32) only.
std::string trimSpaces(std::string_view text);

} // namespace zelta
