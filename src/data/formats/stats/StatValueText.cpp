#include "data/formats/stats/StatValueText.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "common/CivilDate.h"
#include "data/formats/stats/StatFileKind.h"

namespace corvane {

namespace {

// The format's name in capitals without its width and decimals: "DATETIME20.2" -> "DATETIME".
std::string FormatName(std::string_view format) {
    std::string name;
    for (char c : format) name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    while (!name.empty() &&
           (std::isdigit(static_cast<unsigned char>(name.back())) || name.back() == '.'))
        name.pop_back();
    return name;
}

TemporalKind SpssKind(const std::string& name) {
    static constexpr std::array<std::string_view, 8> kDates = {"DATE",  "ADATE", "EDATE", "SDATE",
                                                               "JDATE", "QYR",   "MOYR",  "WKYR"};
    for (std::string_view d : kDates)
        if (name == d) return TemporalKind::Date;
    if (name == "DATETIME" || name == "YMDHMS") return TemporalKind::DateTime;
    if (name == "TIME" || name == "DTIME" || name == "MTIME") return TemporalKind::Time;
    return TemporalKind::None;
}

TemporalKind StataKind(const std::string& name) {
    // "%td", "%tdDD/NN/CCYY", the old "%d"; "%tc" and "%tC" with any detail after them.
    if (name.starts_with("%TD") || name.starts_with("%D")) return TemporalKind::Date;
    if (name.starts_with("%TC")) return TemporalKind::DateTime;
    return TemporalKind::None;
}

TemporalKind SasKind(const std::string& name) {
    static constexpr std::array<std::string_view, 12> kDates = {
        "DATE",     "DDMMYY",   "MMDDYY",   "YYMMDD", "E8601DA", "B8601DA",
        "IS8601DA", "WORDDATE", "WEEKDATE", "MONYY",  "YYMON",   "NLDATE"};
    static constexpr std::array<std::string_view, 6> kDateTimes = {
        "DATETIME", "E8601DT", "B8601DT", "IS8601DT", "DATEAMPM", "NLDATM"};
    static constexpr std::array<std::string_view, 6> kTimes = {"TIME",    "HHMM",    "TOD",
                                                               "E8601TM", "B8601TM", "TIMEAMPM"};
    for (std::string_view d : kDateTimes)
        if (name == d) return TemporalKind::DateTime;
    for (std::string_view d : kTimes)
        if (name == d) return TemporalKind::Time;
    for (std::string_view d : kDates)
        if (name.starts_with(d)) return TemporalKind::Date;  // DDMMYYS, YYMMDDN and the like
    return TemporalKind::None;
}

std::string PlainNumber(double value) {
    std::array<char, 32> buf{};
    const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), value);
    return std::string(buf.data(), r.ptr);
}

// "HH:MM:SS" with ".mmm" (trailing zeros dropped) when the milliseconds are not 0.
std::string ClockMillisText(std::int64_t millis) {
    std::string text = ClockText(millis / 1000);
    if (const std::int64_t ms = millis % 1000; ms != 0) {
        char buf[8];
        std::snprintf(buf, sizeof buf, ".%03lld", static_cast<long long>(ms));
        text += buf;
        while (text.back() == '0') text.pop_back();
    }
    return text;
}

// Days 1970-01-01 lies after the first day of the file's calendar.
constexpr std::int64_t kSpssEpochDays = 141428;  // 1582-10-14
constexpr std::int64_t kSasEpochDays = 3653;     // 1960-01-01, also Stata's

// Years 1 to 9999 as milliseconds from 1970-01-01, the range dates are written as text.
constexpr double kFirstMillis = -62135596800000.0;
constexpr double kEndMillis = 253402300800000.0;

}  // namespace

TemporalKind TemporalKindOf(StatFileKind kind, std::string_view format) {
    const std::string name = FormatName(format);
    switch (kind) {
        case StatFileKind::SpssData:
        case StatFileKind::SpssCompressed:
        case StatFileKind::SpssPortable:
            return SpssKind(name);
        case StatFileKind::Stata:
            return StataKind(name);
        case StatFileKind::SasData:
        case StatFileKind::SasTransport:
            return SasKind(name);
        case StatFileKind::None:
            break;
    }
    return TemporalKind::None;
}

std::string TemporalText(StatFileKind kind, TemporalKind temporal, double value) {
    const bool spss = kind == StatFileKind::SpssData || kind == StatFileKind::SpssCompressed ||
                      kind == StatFileKind::SpssPortable;
    // Everything in milliseconds; dates and date-times from 1970-01-01.
    double millis = 0.0;
    if (temporal == TemporalKind::Time) {
        millis = value * 1000.0;
    } else if (spss) {
        millis = (value - static_cast<double>(kSpssEpochDays) * 86400.0) * 1000.0;
    } else if (temporal == TemporalKind::Date) {
        millis = (value - static_cast<double>(kSasEpochDays)) * 86400000.0;
    } else {
        const double fromEpoch = kind == StatFileKind::Stata ? value : value * 1000.0;
        millis = fromEpoch - static_cast<double>(kSasEpochDays) * 86400000.0;
    }
    millis = std::round(millis);
    if (!(millis >= kFirstMillis && millis < kEndMillis)) return PlainNumber(value);
    const auto ms = static_cast<std::int64_t>(millis);

    if (temporal == TemporalKind::Time)
        return (ms < 0 ? "-" : "") + ClockMillisText(ms < 0 ? -ms : ms);
    const std::int64_t dayMillis = 86400000;
    const std::int64_t days = ms >= 0 ? ms / dayMillis : -((-ms + dayMillis - 1) / dayMillis);
    std::string text = IsoDateText(days);
    if (temporal == TemporalKind::DateTime) text += " " + ClockMillisText(ms - days * dayMillis);
    return text;
}

}  // namespace corvane
