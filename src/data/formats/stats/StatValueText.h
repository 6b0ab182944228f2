#pragma once

#include <string>
#include <string_view>

namespace corvane {

enum class StatFileKind;

// What a statistics file's display format says a number is.
enum class TemporalKind { None, Date, DateTime, Time };

// The kind the display format `format` (as the file stores it, "DATE11", "%td", "DATETIME20.")
// gives a numeric variable of a file of the given kind.
TemporalKind TemporalKindOf(StatFileKind kind, std::string_view format);

// `value` as ISO text: "2024-03-01", "2024-03-01 08:30:00" or "08:30:00" (a time may run past
// 24 hours and below 0; fractions of a second appear as far as milliseconds carry them).
// SPSS counts seconds from 1582-10-14; Stata days (%td) or milliseconds (%tc) and SAS days or
// seconds from 1960-01-01. A value outside years 1 to 9999 reads as the plain number.
std::string TemporalText(StatFileKind kind, TemporalKind temporal, double value);

}  // namespace corvane
