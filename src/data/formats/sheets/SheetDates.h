#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace corvane {

// What a number format shows of a day count.
enum class DateForm { None, Date, Time, DateTime };

// The form of an Excel number format: the built-in date and time formats by id, a custom one
// (`code`, empty for built-ins) by its letters outside quotes, brackets and escapes: d or y
// is a date, h or s a time, m a month unless a time letter stands beside it.
DateForm NumberFormatForm(int id, std::string_view code);

// An Excel day count as ISO text ("2024-03-01", "13:45:00", "2024-03-01 13:45:00"; a date
// with a time of day other than midnight keeps its time). Nothing for a count outside the
// years 1900 to 9999.
std::optional<std::string> SerialDateText(double serial, DateForm form, bool from1904);

// An OpenDocument date value ("2024-03-01T13:45:00") and time value ("PT13H45M00S") as ISO text
// in the same forms.
std::string OdsDateText(std::string_view value);
std::string OdsTimeText(std::string_view value);

}  // namespace corvane
