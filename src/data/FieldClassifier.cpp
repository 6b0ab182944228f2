#include "data/FieldClassifier.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <system_error>

namespace corvane {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int DigitValue(char c, int base) {
    int v = -1;
    if (c >= '0' && c <= '9')
        v = c - '0';
    else if (c >= 'a' && c <= 'f')
        v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        v = c - 'A' + 10;
    return v < base ? v : -1;
}

// The value of `text`, already checked to be one decimal number, sign included.
double DecimalValue(std::string_view text) {
    bool negative = false;
    std::size_t i = 0;
    if (text[0] == '+' || text[0] == '-') {
        negative = text[0] == '-';
        i = 1;
    }
    const std::string_view body = text.substr(i);
    double value = 0.0;
    const auto r =
        std::from_chars(body.data(), body.data() + body.size(), value, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) {
        // Decide between overflow and underflow from the decimal exponent of the first
        // significant digit: from_chars leaves the value untouched in both cases.
        std::int64_t position = 0;  // power of ten of the first significant digit, plus one
        bool seenPoint = false, seenSignificant = false;
        std::size_t j = 0;
        for (; j < body.size() && body[j] != 'e' && body[j] != 'E'; ++j) {
            const char c = body[j];
            if (c == '.') {
                seenPoint = true;
                continue;
            }
            if (!seenSignificant) {
                if (c != '0') {
                    seenSignificant = true;
                    if (!seenPoint) ++position;
                } else if (seenPoint) {
                    --position;
                }
            } else if (!seenPoint) {
                ++position;
            }
        }
        std::int64_t exponent = 0;
        if (j < body.size()) {
            ++j;
            bool expNegative = false;
            if (body[j] == '+' || body[j] == '-') expNegative = body[j++] == '-';
            for (; j < body.size(); ++j) {
                if (exponent < 1'000'000'000) exponent = exponent * 10 + (body[j] - '0');
            }
            if (expNegative) exponent = -exponent;
        }
        value = position + exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

// The longest number starting at text[0]; returns its length (0 for none).
std::size_t ScanNumber(std::string_view text, double& value) {
    const std::size_t n = text.size();
    if (n >= 2 && text[0] == '&') {
        int base = 0;
        if (text[1] == 'H' || text[1] == 'h') base = 16;
        if (text[1] == 'O' || text[1] == 'o') base = 8;
        if (base == 0) return 0;
        std::size_t i = 2;
        double v = 0.0;
        while (i < n && DigitValue(text[i], base) >= 0) {
            v = v * base + DigitValue(text[i], base);
            ++i;
        }
        if (i == 2) return 0;
        value = v;
        return i;
    }
    std::size_t i = 0;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < n && IsDigit(text[i])) ++i, ++digits;
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && IsDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    // An exponent counts only when at least one digit follows the letter (and its sign).
    if (i < n && (text[i] == 'E' || text[i] == 'e')) {
        std::size_t j = i + 1;
        if (j < n && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < n && IsDigit(text[j])) {
            while (j < n && IsDigit(text[j])) ++j;
            i = j;
        }
    }
    value = DecimalValue(text.substr(0, i));
    return i;
}

}  // namespace

std::optional<double> ReadWhole(std::string_view text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && text[begin] == ' ') ++begin;
    while (end > begin && text[end - 1] == ' ') --end;
    if (begin == end) return std::nullopt;
    double value = 0.0;
    const std::string_view body = text.substr(begin, end - begin);
    if (ScanNumber(body, value) != body.size()) return std::nullopt;
    return value;
}

double ReadLeading(std::string_view text) {
    std::size_t begin = 0;
    while (begin < text.size() && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
    double value = 0.0;
    if (ScanNumber(text.substr(begin), value) == 0) return 0.0;
    return value;
}

FieldClass ClassifyField(std::string_view text) {
    if (const auto whole = ReadWhole(text); whole && *whole == ReadLeading(text)) {
        return {FieldKind::Number, *whole};
    }
    if (text.empty() || text == "." || text == " " || text == "NA" || text == "NaN" ||
        text == "nan") {
        return {FieldKind::Missing, 0.0};
    }
    return {FieldKind::Invalid, 0.0};
}

FieldClass ClassifyDecimalCommaField(std::string_view text) {
    const bool point = text.find('.') != std::string_view::npos;
    if (text.find(',') == std::string_view::npos) {
        const FieldClass fc = ClassifyField(text);
        return fc.kind == FieldKind::Number && point ? FieldClass{FieldKind::Invalid, 0.0} : fc;
    }
    if (point) return {FieldKind::Invalid, 0.0};
    std::string swapped(text);
    for (char& c : swapped) {
        if (c == ',') c = '.';
    }
    return ClassifyField(swapped);
}

bool IsTableMissing(std::string_view text) {
    if (text.size() > 4) return false;
    if (text.empty() || text == "." || text == " " || text == "NA" || text == "NaN" ||
        text == "nan")
        return true;
    for (std::string_view form : {"N/A", "n/a", "NULL", "null", "None", "#N/A", "<NA>", "-nan"})
        if (text == form) return true;
    return false;
}

std::optional<double> ParseGroupCode(std::string_view text) {
    const FieldClass f = ClassifyField(text);
    if (f.kind != FieldKind::Number) return std::nullopt;
    return f.value;
}

}  // namespace corvane
