// The field classification on arbitrary text: a number re-read from its own digits gives the
// same value, spaces around a field change nothing, and the readings agree with each other.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FuzzFiles.h"
#include "common/NumberText.h"
#include "data/FieldClassifier.h"

using namespace corvane;

namespace {

std::string Printf(const char* format, double x) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, x);
    return buffer;
}

bool Same(double a, double b) { return a == b && std::signbit(a) == std::signbit(b); }

void CheckNumber(std::string_view text, double value) {
    FUZZ_CHECK(!std::isnan(value));
    FUZZ_CHECK(text.find_first_of(",\t\r\n") == std::string_view::npos);
    FUZZ_CHECK(Same(*ReadWhole(text), value));
    FUZZ_CHECK(Same(ReadLeading(text), value));

    // Spaces around a number leave it the same number.
    const FieldClass padded = ClassifyField(" " + std::string(text) + "  ");
    FUZZ_CHECK(padded.kind == FieldKind::Number && Same(padded.value, value));

    const auto code = ParseGroupCode(text);
    FUZZ_CHECK(code && Same(*code, value));

    // A decimal number has the value the C library gives the same digits.
    std::size_t begin = text.find_first_not_of(' ');
    const std::string body(text.substr(begin, text.find_last_not_of(' ') + 1 - begin));
    if (body[0] != '&') {
        const double reference = std::strtod(body.c_str(), nullptr);
        FUZZ_CHECK(Same(reference, value));
    }

    if (!std::isfinite(value)) return;
    // Re-read from its shortest exact digits: the same double.
    const FieldClass again = ClassifyField(Printf("%.17g", value));
    FUZZ_CHECK(again.kind == FieldKind::Number && Same(again.value, value));

    const float stored = static_cast<float>(value);
    if (!std::isfinite(stored)) return;
    // The stored single re-read from nine digits: the same single.
    const FieldClass single = ClassifyField(Printf("%.9g", stored));
    FUZZ_CHECK(single.kind == FieldKind::Number && static_cast<float>(single.value) == stored);

    // The text the program shows for it reads back as a number within its seven digits.
    const std::string shown = FormatSingle(stored);
    const FieldClass shownBack = ClassifyField(shown);
    FUZZ_CHECK(shownBack.kind == FieldKind::Number);
    const double error = std::fabs(static_cast<float>(shownBack.value) - double(stored));
    FUZZ_CHECK(error <= 1e-6 * std::fabs(double(stored)) + std::ldexp(1.0, -149));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const FieldClass fc = ClassifyField(text);
    const FieldClass twice = ClassifyField(text);
    FUZZ_CHECK(fc.kind == twice.kind && Same(fc.value, twice.value));

    switch (fc.kind) {
        case FieldKind::Number:
            CheckNumber(text, fc.value);
            break;
        case FieldKind::Missing:
            FUZZ_CHECK(text.empty() || text == "." || text == " " || text == "NA" ||
                       text == "NaN" || text == "nan");
            FUZZ_CHECK(!ParseGroupCode(text));
            break;
        case FieldKind::Invalid: {
            FUZZ_CHECK(!ParseGroupCode(text));
            // Spaces around an invalid entry leave it invalid.
            const FieldClass padded = ClassifyField(" " + std::string(text) + " ");
            FUZZ_CHECK(padded.kind == FieldKind::Invalid);
            break;
        }
    }
    return 0;
}
