#include "data/formats/sheets/SheetDates.h"

#include <cmath>
#include <cstdint>

#include "common/CivilDate.h"

namespace corvane {

DateForm NumberFormatForm(int id, std::string_view code) {
    if (id >= 14 && id <= 17) return DateForm::Date;
    if (id == 22) return DateForm::DateTime;
    if ((id >= 18 && id <= 21) || (id >= 45 && id <= 47)) return DateForm::Time;
    if (id < 164) return DateForm::None;
    bool date = false, time = false, month = false;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '"') {
            const std::size_t close = code.find('"', i + 1);
            if (close == std::string_view::npos) break;
            i = close;
        } else if (c == '[') {
            const std::size_t close = code.find(']', i + 1);
            if (close == std::string_view::npos) break;
            // [h], [mm] and [ss] are elapsed times; [Red] or [$-409] say nothing.
            const std::string_view inside = code.substr(i + 1, close - i - 1);
            if (!inside.empty() && (inside[0] == 'h' || inside[0] == 'H' || inside[0] == 's' ||
                                    inside[0] == 'S' || inside[0] == 'm' || inside[0] == 'M'))
                time = true;
            i = close;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;
        } else if (c == ';') {
            break;  // the first section decides
        } else {
            switch (c) {
                case 'd':
                case 'D':
                case 'y':
                case 'Y':
                    date = true;
                    break;
                case 'h':
                case 'H':
                case 's':
                case 'S':
                    time = true;
                    break;
                case 'm':
                case 'M':
                    month = true;
                    break;
                default:
                    break;
            }
        }
    }
    if (month && !time) date = true;
    if (date && time) return DateForm::DateTime;
    if (date) return DateForm::Date;
    if (time) return DateForm::Time;
    return DateForm::None;
}

std::optional<std::string> SerialDateText(double serial, DateForm form, bool from1904) {
    if (!std::isfinite(serial) || serial < 0 || serial >= 2958466) return std::nullopt;
    std::int64_t seconds = std::llround(serial * 86400.0);
    std::int64_t day = seconds / 86400;
    seconds %= 86400;
    if (form == DateForm::Time && day == 0) return ClockText(seconds);
    if (form == DateForm::Time) return ClockText(day * 86400 + seconds);
    // Day 1 is 1900-01-01, and 60 the 29 February 1900 the 1900 system wrongly counts.
    std::int64_t sinceEpoch;
    if (from1904)
        sinceEpoch = day - 24107;  // 1904-01-01 is day 0
    else
        sinceEpoch = day - (day < 61 ? 25568 : 25569);
    if (!from1904 && day == 0) return std::nullopt;
    std::string out = IsoDateText(sinceEpoch);
    if (form == DateForm::DateTime || seconds != 0) out += " " + ClockText(seconds);
    return out;
}

std::string OdsDateText(std::string_view value) {
    std::string out(value);
    const std::size_t t = out.find('T');
    if (t == std::string::npos) return out;
    std::string time = out.substr(t + 1);
    const std::size_t fraction = time.find('.');
    if (fraction != std::string::npos) time.resize(fraction);
    out.resize(t);
    if (time != "00:00:00") out += " " + time;
    return out;
}

std::string OdsTimeText(std::string_view value) {
    // PnDTnHnMn(.n)S; the days fold into the hours.
    std::int64_t hours = 0, minutes = 0, seconds = 0, number = 0;
    bool inTime = false;
    for (char c : value) {
        if (c >= '0' && c <= '9') {
            if (number < 100'000'000) number = number * 10 + (c - '0');
            continue;
        }
        switch (c) {
            case 'D':
                hours += number * 24;
                break;
            case 'T':
                inTime = true;
                break;
            case 'H':
                hours += number;
                break;
            case 'M':
                if (inTime) minutes = number;
                break;
            case 'S':
                seconds = number;
                break;
            case '.':
                seconds = number;
                break;
            default:
                break;
        }
        if (c == '.') {
            number = 0;
            break;
        }
        number = 0;
    }
    return ClockText(hours * 3600 + minutes * 60 + seconds);
}

}  // namespace corvane
