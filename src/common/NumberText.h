#pragma once

#include <cstdint>
#include <string>

namespace corvane {

// The general number format used everywhere a number is shown: "." as the decimal point, no
// grouping, no fixed number of decimals, exponent form ("1.234568E+07", "1E-05") for very
// large and very small magnitudes. Independent of the C locale.

// A single-precision value with at most 7 significant digits.
std::string FormatSingle(float x);

// A double-precision value with at most 15 significant digits.
std::string FormatDouble(double x);

// x rounded to 3 decimal places (ties to even on the exact binary value).
double Round3(double x);

// A statistic for a report: rounded to 3 decimals, then written as a single-precision value.
std::string FormatRounded3(float x);

// A plain decimal integer.
std::string FormatInt(std::int64_t n);

// Fits a number's text into at most `width` characters. Decimals may be cut off; where the
// cut would lose integer digits or an exponent the value is written in a shorter exponent
// form instead, so the text never shows a different number than it stands for.
std::string FitNumberText(const std::string& text, double value, std::size_t width);

}  // namespace corvane
