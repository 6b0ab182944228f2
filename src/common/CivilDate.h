#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace corvane {

// Year, month and day of a count of days from 1970-01-01 in the proleptic Gregorian calendar
// (the well-known days-from-civil arithmetic, inverted).
inline void CivilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2);
}

// "YYYY-MM-DD" of a count of days from 1970-01-01.
inline std::string IsoDateText(std::int64_t days) {
    std::int64_t y = 0;
    unsigned m = 0, d = 0;
    CivilFromDays(days, y, m, d);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04lld-%02u-%02u", static_cast<long long>(y), m, d);
    return buffer;
}

// "HH:MM:SS" of a count of seconds, the hours going past 24 when the seconds do.
inline std::string ClockText(std::int64_t seconds) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%02lld:%02lld:%02lld",
                  static_cast<long long>(seconds / 3600), static_cast<long long>(seconds / 60 % 60),
                  static_cast<long long>(seconds % 60));
    return buffer;
}

}  // namespace corvane
