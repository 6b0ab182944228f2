#include "common/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

namespace corvane {

namespace {

// printf's %.Pg, without the locale: std::to_chars never writes a decimal comma.
std::string General(double x, int precision) {
    if (x == 0.0) return "0";  // also -0: a report never shows "-0"
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general, precision);
    std::string s(buf, r.ptr);
    const auto e = s.find('e');
    if (e != std::string::npos) s[e] = 'E';
    return s;
}

// Mantissa digits after the point that still let the exponent form fit `width`.
std::string ShortExponentForm(double value, std::size_t width) {
    for (int decimals = 14; decimals >= 0; --decimals) {
        char buf[64];
        const auto r =
            std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, decimals);
        std::string s(buf, r.ptr);
        const auto e = s.find('e');
        std::string mantissa = s.substr(0, e);
        std::string exponent = s.substr(e + 1);
        if (mantissa.find('.') != std::string::npos) {
            while (mantissa.back() == '0') mantissa.pop_back();
            if (mantissa.back() == '.') mantissa.pop_back();
        }
        std::string out = mantissa + "E" + exponent;
        if (out.size() <= width) return out;
    }
    return std::string(width, '#');  // cannot happen for widths of 6 and more
}

}  // namespace

std::string FormatSingle(float x) {
    if (!std::isfinite(x)) return std::isnan(x) ? "NaN" : (x > 0 ? "Inf" : "-Inf");
    return General(static_cast<double>(x), 7);
}

std::string FormatDouble(double x) {
    if (!std::isfinite(x)) return std::isnan(x) ? "NaN" : (x > 0 ? "Inf" : "-Inf");
    return General(x, 15);
}

double Round3(double x) {
    if (!std::isfinite(x)) return x;
    // The exact binary value written with 3 decimals (ties go to even), then read back.
    char buf[400];
    const auto w = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, 3);
    double out = 0.0;
    std::from_chars(buf, w.ptr, out);
    return out;
}

std::string FormatRounded3(float x) {
    return FormatSingle(static_cast<float>(Round3(static_cast<double>(x))));
}

std::string FormatInt(std::int64_t n) { return std::to_string(n); }

std::string FitNumberText(const std::string& text, double value, std::size_t width) {
    if (text.size() <= width) return text;
    const bool exponent = text.find('E') != std::string::npos;
    const auto point = text.find('.');
    // Cutting only drops decimals when every integer digit lies within the width.
    if (!exponent && point != std::string::npos && point <= width) return text.substr(0, width);
    return ShortExponentForm(value, width);
}

}  // namespace corvane
