#include "data/formats/StoreLine.h"

#include <cmath>

#include "common/Single.h"
#include "data/DataMatrix.h"
#include "data/FieldClassifier.h"
#include "data/formats/DelimitedFields.h"
#include "data/formats/PieceText.h"

namespace corvane {

namespace {

// The common field, a plain decimal ([sign] digits [. digits], no spaces, no exponent) of at
// most 15 digits: both readings of the field classification are this one number, and its
// digits and the power of ten below the point are exact doubles, so one correctly rounded
// division gives the very value the full reading does. Reads the field that starts at `start`
// and returns where it ends (its delimiter, or the end of the line); npos for every other
// field, which then takes the full classification.
std::size_t ReadPlainDecimal(std::string_view line, std::size_t start, FieldSyntax syntax,
                             double& value) {
    const char delimiter = syntax.delimiter;
    const char decimalPoint = syntax.decimalComma ? ',' : '.';
    static constexpr double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const char* const begin = line.data();
    const char* const end = begin + line.size();
    const char* p = begin + start;
    bool negative = false;
    if (p != end && *p != delimiter && (*p == '-' || *p == '+')) negative = *p++ == '-';
    std::uint64_t mantissa = 0;
    int digits = 0, afterPoint = 0;
    bool point = false;
    for (; p != end && *p != delimiter; ++p) {
        const unsigned d = static_cast<unsigned char>(*p) - unsigned{'0'};
        if (d < 10) {
            if (++digits > 15) return std::string_view::npos;
            mantissa = mantissa * 10 + d;
            afterPoint += point;
        } else if (*p == decimalPoint && !point) {
            point = true;
        } else {
            return std::string_view::npos;
        }
    }
    if (digits == 0) return std::string_view::npos;
    const double magnitude = static_cast<double>(mantissa) / kPow10[afterPoint];
    value = negative ? -magnitude : magnitude;
    return static_cast<std::size_t>(p - begin);
}

}  // namespace

std::optional<ImportError> StoreLine(std::string_view line, std::int64_t lineNumber, float* cells,
                                     std::int32_t storedColumns, FieldSyntax syntax,
                                     std::int32_t& variables, std::string& scratch,
                                     PieceText* text) {
    using Kind = ImportError::Kind;
    const char delimiter = syntax.delimiter;
    std::int32_t column = 0;
    std::size_t start = 0;
    for (;;) {
        ++column;
        if (column > DataMatrix::kMaxVariables)
            return ImportError::Of(Kind::TooManyFields, lineNumber);
        if (column > storedColumns) return ImportError::Of(Kind::FileChanged);
        if (column > variables) variables = column;
        // A missing form, or the code of one of the piece's labels.
        const auto storeText = [&](std::string_view t) -> bool {
            if (HasControlCharacter(t)) return false;
            cells[column - 1] =
                IsTableMissing(t)
                    ? kMissing
                    : static_cast<float>(text->codeOf(column, storedColumns, t, lineNumber));
            return true;
        };
        std::size_t stop = std::string_view::npos;
        if (text && text->holdsText(column)) {
            // Every present field of a text column is a label, a number included.
            const Field f = SplitField(line, start, delimiter, scratch);
            if (f.malformed || !storeText(f.text))
                return ImportError::Of(Kind::InvalidEntry, lineNumber, column);
            stop = f.stop;
        } else {
            FieldClass fc{FieldKind::Number, 0.0};
            stop = ReadPlainDecimal(line, start, syntax, fc.value);
            if (stop == std::string_view::npos) {
                const Field f = SplitField(line, start, delimiter, scratch);
                stop = f.stop;
                fc = f.malformed ? FieldClass{FieldKind::Invalid, 0.0}
                                 : (syntax.decimalComma ? ClassifyDecimalCommaField(f.text)
                                                        : ClassifyField(f.text));
                // The column's first text in the piece, or a missing form.
                if (text && fc.kind == FieldKind::Invalid && !f.malformed && storeText(f.text)) {
                    if (stop == line.size()) return std::nullopt;
                    start = stop + 1;
                    continue;
                }
            }
            switch (fc.kind) {
                case FieldKind::Number: {
                    const float v = static_cast<float>(fc.value);
                    if (!std::isfinite(v)) {
                        // In a table the column may yet turn out to hold text.
                        if (!text) return ImportError::Of(Kind::NumberTooLarge, lineNumber, column);
                        text->noteTooLarge(column, storedColumns, lineNumber);
                        break;
                    }
                    cells[column - 1] = v;
                    break;
                }
                case FieldKind::Missing:
                    cells[column - 1] = kMissing;
                    break;
                case FieldKind::Invalid:
                    return ImportError::Of(Kind::InvalidEntry, lineNumber, column);
            }
        }
        if (stop == line.size()) return std::nullopt;
        start = stop + 1;
    }
}

}  // namespace corvane
