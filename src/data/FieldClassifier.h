#pragma once

#include <optional>
#include <string_view>

namespace corvane {

enum class FieldKind { Number, Missing, Invalid };

struct FieldClass {
    FieldKind kind;
    double value = 0.0;  // the number read, for FieldKind::Number (not yet rounded to single)
};

// The numbers read: a decimal (an optional sign, at least one digit with at most one point
// before, among or after the digits, then an optional exponent: E or e, an optional sign and
// digits), &H and hex digits, or &O and octal digits.

// The whole reading: the entire text, spaces before and after allowed, as one number.
// Empty when the text is not exactly one such number.
std::optional<double> ReadWhole(std::string_view text);

// The leading reading: after leading spaces and tabs, the value of the number that starts the
// text, read as far as the characters continue it; 0 when no number starts the text.
double ReadLeading(std::string_view text);

// A number when the whole reading succeeds and equals the leading reading; missing for ".",
// "", " " and the forms other programs write for a missing value, "NA", "NaN" and "nan";
// invalid otherwise.
FieldClass ClassifyField(std::string_view text);

// The same for a file whose numbers take a decimal comma: the comma stands for the point, and a
// field with a point is no number, so that "1.234" is never read as a fraction or a thousand.
FieldClass ClassifyDecimalCommaField(std::string_view text);

// Whether a field of a table (a file with a names line) is missing: the forms above, and those
// data frame and spreadsheet programs write, "N/A", "n/a", "NULL", "null", "None", "#N/A",
// "<NA>" and "-nan". A number is never missing.
bool IsTableMissing(std::string_view text);

// A group code typed by the user: valid exactly when the field classification calls it a number.
std::optional<double> ParseGroupCode(std::string_view text);

}  // namespace corvane
