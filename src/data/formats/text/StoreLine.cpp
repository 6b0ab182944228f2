#include "data/formats/text/StoreLine.h"

#include <cmath>

#include "common/Single.h"
#include "data/DataMatrix.h"
#include "data/FieldClassifier.h"
#include "data/TextColumn.h"
#include "data/formats/text/DelimitedFields.h"
#include "data/formats/text/PieceText.h"

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

// One line's fields as they are stored, field by field, into the line's row of cells.
class LineStore {
  public:
    LineStore(std::string_view line, RecordPlace at, float* cells, std::int32_t storedColumns,
              FieldSyntax syntax, std::string& scratch, PieceText* text)
        : m_line(line),
          m_at(at),
          m_cells(cells),
          m_storedColumns(storedColumns),
          m_syntax(syntax),
          m_scratch(scratch),
          m_text(text) {}

    // Stores the field of `column` that starts at `start`; `stop` is set to where it ends.
    std::optional<ImportError> field(std::int32_t column, std::size_t start, std::size_t& stop) {
        if (m_text && m_text->holdsText(column)) return textField(column, start, stop);
        return numberField(column, start, stop);
    }

  private:
    using Kind = ImportError::Kind;

    // A missing form, or the code of one of the piece's labels; false for a text no cell holds.
    bool storeText(std::int32_t column, std::string_view t) {
        if (!TextColumn::Admits(t)) return false;
        m_cells[column - 1] =
            IsTableMissing(t)
                ? kMissing
                : static_cast<float>(m_text->codeOf(column, m_storedColumns, t, m_at));
        return true;
    }

    // Every present field of a text column is a label, a number included.
    std::optional<ImportError> textField(std::int32_t column, std::size_t start,
                                         std::size_t& stop) {
        const Field f = SplitField(m_line, start, m_syntax.delimiter, m_scratch);
        stop = f.stop;
        if (f.malformed || !storeText(column, f.text))
            return ImportError::Of(Kind::InvalidEntry, m_at.line, column);
        return std::nullopt;
    }

    std::optional<ImportError> numberField(std::int32_t column, std::size_t start,
                                           std::size_t& stop) {
        FieldClass fc{FieldKind::Number, 0.0};
        stop = ReadPlainDecimal(m_line, start, m_syntax, fc.value);
        if (stop == std::string_view::npos) {
            const Field f = SplitField(m_line, start, m_syntax.delimiter, m_scratch);
            stop = f.stop;
            fc = f.malformed ? FieldClass{FieldKind::Invalid, 0.0}
                             : (m_syntax.decimalComma ? ClassifyDecimalCommaField(f.text)
                                                      : ClassifyField(f.text));
            // The column's first text in the piece, or a missing form.
            if (m_text && fc.kind == FieldKind::Invalid && !f.malformed &&
                storeText(column, f.text))
                return std::nullopt;
        }
        switch (fc.kind) {
            case FieldKind::Number: {
                const float v = static_cast<float>(fc.value);
                if (std::isfinite(v)) {
                    m_cells[column - 1] = v;
                } else if (!m_text) {
                    return ImportError::Of(Kind::NumberTooLarge, m_at.line, column);
                } else {
                    // In a table the column may yet turn out to hold text.
                    m_text->noteTooLarge(column, m_storedColumns, m_at.line);
                }
                return std::nullopt;
            }
            case FieldKind::Missing:
                m_cells[column - 1] = kMissing;
                return std::nullopt;
            case FieldKind::Invalid:
                break;
        }
        return ImportError::Of(Kind::InvalidEntry, m_at.line, column);
    }

    std::string_view m_line;
    RecordPlace m_at;
    float* m_cells;
    std::int32_t m_storedColumns;
    FieldSyntax m_syntax;
    std::string& m_scratch;
    PieceText* m_text;
};

}  // namespace

std::optional<ImportError> StoreLine(std::string_view line, RecordPlace at, float* cells,
                                     std::int32_t storedColumns, FieldSyntax syntax,
                                     std::int32_t& variables, std::string& scratch,
                                     PieceText* text) {
    using Kind = ImportError::Kind;
    LineStore store(line, at, cells, storedColumns, syntax, scratch, text);
    std::size_t start = 0;
    for (std::int32_t column = 1;; ++column) {
        if (column > DataMatrix::kMaxVariables)
            return ImportError::Of(Kind::TooManyFields, at.line);
        if (column > storedColumns) return ImportError::Of(Kind::FileChanged);
        if (column > variables) variables = column;
        std::size_t stop = 0;
        if (auto e = store.field(column, start, stop)) return e;
        if (stop == line.size()) return std::nullopt;
        start = stop + 1;
    }
}

}  // namespace corvane
