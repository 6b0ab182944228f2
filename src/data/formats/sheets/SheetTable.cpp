#include "data/formats/sheets/SheetTable.h"

#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>

#include "common/Single.h"
#include "data/FieldClassifier.h"
#include "data/TextColumn.h"
#include "data/VariableName.h"

namespace corvane {

namespace {

// A number in a text column stands for itself: its shortest single-precision spelling.
std::string NumberLabel(float value) {
    char buffer[32];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, r.ptr);
}

// A text is kept in a cell as the code of its text among the column's, in the bits of a float no
// number read has: the exponent all ones (an infinity or a NaN), the code's low 23 bits in the
// mantissa and its 24th in the sign. A column holds at most a names row's text and the labels.
constexpr std::uint32_t kExponent = 0x7F800000u;
constexpr std::uint32_t kMantissa = 0x007FFFFFu;
static_assert(TableBuilder::kMaxLabels + 1 < (std::int64_t{1} << 24), "a text's code fits");
const std::uint32_t kMissingBits = std::bit_cast<std::uint32_t>(kMissing);

std::uint32_t TextBits(std::uint32_t code) {
    return kExponent | (code & kMantissa) | (code >> 23 << 31);
}
bool IsTextCell(std::uint32_t bits) { return (bits & kExponent) == kExponent; }
std::uint32_t TextCode(std::uint32_t bits) { return (bits & kMantissa) | (bits >> 31 << 23); }

// Freed chunks lie amid the heap, where the allocator keeps their pages resident; handing them
// back lets the matrix grow into the room they leave rather than beside them.
constexpr std::size_t kReleaseBytes = std::size_t{1} << 20;
void ReleaseFreed() {
#if defined(__GLIBC__)
    ::malloc_trim(0);
#endif
}

std::string RowLimitReason() {
    return "a cell lies below row " + std::to_string(SheetTable::kMaxRows) +
           ", the last row a sheet has";
}

}  // namespace

// A text column's cells as they are coded going down: by the table's TextColumn, 1, 2, ... by
// first appearance, a text met again taking its code from `byCode`.
struct SheetTable::TextCoder {
    TextColumn* column = nullptr;    // none for a column of numbers
    std::vector<std::string> texts;  // the column's texts by their code - 1 (see TextBits)
    std::vector<float> byCode;       // by the text's code, 0 until the text is met going down

    std::optional<ImportError> code(std::uint32_t bits, std::int64_t row, float& out) {
        if (IsTextCell(bits)) {
            float& known = byCode[TextCode(bits)];
            if (known == 0.0f) {
                if (auto e = column->code(row, texts[TextCode(bits) - 1], known)) return e;
            }
            out = known;
            return std::nullopt;
        }
        const float value = std::bit_cast<float>(bits);
        if (!IsMissing(value)) return column->code(row, NumberLabel(value), out);
        out = kMissing;
        return std::nullopt;
    }
};

std::optional<ImportError> SheetTable::place(std::int64_t row, std::int64_t column) {
    if (row < 1 || row > kMaxRows) return ImportError::Unreadable(RowLimitReason());
    if (column < 1 || column > kMaxColumns)
        return ImportError::Unreadable(
            "a cell lies right of column XFD, the last column a sheet has");
    if (column > DataMatrix::kMaxVariables)
        return ImportError::Of(ImportError::Kind::TooManyFields, row);
    return std::nullopt;
}

std::uint32_t& SheetTable::cell(Column& c, std::int64_t row) {
    const auto index = static_cast<std::int32_t>((row - 1) / kChunkRows);
    const auto at = static_cast<std::size_t>((row - 1) % kChunkRows);
    // Rows mostly arrive in order: the last chunk, or a new one after it.
    auto it = c.chunks.end();
    if (!c.chunks.empty() && c.chunks.back().index >= index) {
        if (c.chunks.back().index == index) return c.chunks.back().cells[at];
        it = std::lower_bound(c.chunks.begin(), c.chunks.end(), index,
                              [](const Chunk& k, std::int32_t i) { return k.index < i; });
        if (it->index == index) return it->cells[at];
    }
    auto cells = std::make_unique_for_overwrite<std::uint32_t[]>(kChunkRows);
    std::fill(cells.get(), cells.get() + kChunkRows, kMissingBits);
    return c.chunks.insert(it, Chunk{index, std::move(cells)})->cells[at];
}

std::optional<ImportError> SheetTable::store(std::int64_t row, std::int64_t column, CellKind kind,
                                             float value, std::string_view text) {
    if (m_columns.size() < static_cast<std::size_t>(column)) m_columns.resize(column);
    Column& c = m_columns[column - 1];
    std::uint32_t bits = std::bit_cast<std::uint32_t>(value);
    if (kind == CellKind::Text || kind == CellKind::Date) {
        const std::int32_t code = c.texts.codeOf(text);
        // More texts than a names row's and the labels: too many labels, or cells written over
        // and over in one place, which no spreadsheet program does.
        if (code > TableBuilder::kMaxLabels + 1)
            return ImportError::Of(ImportError::Kind::TooManyLabels, 0, column);
        bits = TextBits(static_cast<std::uint32_t>(code));
    }
    std::uint32_t& at = cell(c, row);
    c.textCells += static_cast<int>(IsTextCell(bits)) - static_cast<int>(IsTextCell(at));
    at = bits;
    if (m_firstRow == 0 || row < m_firstRow) {
        m_firstRow = row;
        m_head.clear();
    }
    m_lastRow = std::max(m_lastRow, row);
    if (m_firstColumn == 0 || column < m_firstColumn) m_firstColumn = column;
    if (row == m_firstRow) {
        if (m_head.size() < static_cast<std::size_t>(column)) m_head.resize(column);
        m_head[column - 1] = HeadCell{kind, std::string(text), true};
    }
    return std::nullopt;
}

std::optional<ImportError> SheetTable::number(std::int64_t row, std::int64_t column, double value) {
    if (auto e = place(row, column)) return e;
    const float v = static_cast<float>(value);
    if (!std::isfinite(v)) return ImportError::Of(ImportError::Kind::NumberTooLarge, row, column);
    return store(row, column, CellKind::Number, v, {});
}

std::optional<ImportError> SheetTable::text(std::int64_t row, std::int64_t column,
                                            std::string_view text) {
    if (auto e = place(row, column)) return e;
    const FieldClass fc = ClassifyField(text);
    switch (fc.kind) {
        case FieldKind::Number: {
            const float v = static_cast<float>(fc.value);
            if (!std::isfinite(v))
                return ImportError::Of(ImportError::Kind::NumberTooLarge, row, column);
            // Kept as text for the names row, where a number typed as text is still no name.
            return store(row, column, CellKind::Number, v, text);
        }
        case FieldKind::Missing:
            return store(row, column, CellKind::Missing, kMissing, text);
        case FieldKind::Invalid:
            break;
    }
    if (!TextColumn::Admits(text))
        return ImportError::Of(ImportError::Kind::InvalidEntry, row, column);
    return store(row, column, CellKind::Text, kMissing, text);
}

std::optional<ImportError> SheetTable::date(std::int64_t row, std::int64_t column,
                                            std::string_view text) {
    if (auto e = place(row, column)) return e;
    return store(row, column, CellKind::Date, kMissing, text);
}

// The same reading as a text file's first line: every cell a name or empty, at least one a
// name. A text cell reads as a quoted field; a number, a date or a missing-value form is no name.
std::optional<std::vector<std::string>> SheetTable::headNames() const {
    std::vector<std::string> names;
    bool anyName = false;
    for (const HeadCell& h : m_head) {
        if (!h.present || (h.kind == CellKind::Missing && h.text.empty())) {
            names.emplace_back();
            continue;
        }
        if (h.kind != CellKind::Text || !IsVariableName(h.text, true)) return std::nullopt;
        names.push_back(h.text);
        anyName = true;
    }
    if (!anyName) return std::nullopt;
    return names;
}

// Which columns hold text, a data row holding a text cell; each of them becomes a text column of
// the table, its first text kept. Every column hands over its texts.
std::vector<SheetTable::TextCoder> SheetTable::textColumns(std::int64_t firstData,
                                                           TableBuilder& table) {
    std::vector<TextCoder> coders(m_columns.size());
    const auto firstBand = static_cast<std::int32_t>((firstData - 1) / kChunkRows);
    for (std::size_t v = 0; v < m_columns.size(); ++v) {
        Column& c = m_columns[v];
        std::vector<std::string> texts = c.texts.release();
        if (c.textCells == 0) continue;
        for (const Chunk& k : c.chunks) {
            if (k.index < firstBand) continue;
            const std::int64_t start = std::int64_t{k.index} * kChunkRows + 1;
            std::int64_t r = std::max(start, firstData);
            while (r < start + kChunkRows && !IsTextCell(k.cells[r - start])) ++r;
            if (r == start + kChunkRows) continue;
            TextColumn& column = table.text(static_cast<std::int32_t>(v + 1));
            column.firstText(r, texts[TextCode(k.cells[r - start]) - 1]);
            std::vector<float> byCode(texts.size() + 1, 0.0f);
            coders[v] = TextCoder{&column, std::move(texts), std::move(byCode)};
            break;
        }
    }
    return coders;
}

// The cells case by case, copied a band of rows at a time, each band's chunks freed as it is
// copied. Reserving touches no pages: the resident memory grows only as the rows are written.
Result<std::vector<float>, ImportError> SheetTable::copyBands(std::int64_t firstData,
                                                              std::int32_t cases,
                                                              std::vector<TextCoder>& coders) {
    const auto variables = static_cast<std::int32_t>(m_columns.size());
    std::vector<float> cells;
    cells.reserve(static_cast<std::size_t>(cases) * static_cast<std::size_t>(variables));
    std::vector<std::size_t> next(variables, 0);  // each column's first chunk not yet copied
    std::size_t freed = 0;
    const auto firstBand = static_cast<std::int32_t>((firstData - 1) / kChunkRows);
    const auto lastBand = static_cast<std::int32_t>((m_lastRow - 1) / kChunkRows);
    for (std::int32_t band = firstBand; cases > 0 && band <= lastBand; ++band) {
        const std::int64_t start = std::int64_t{band} * kChunkRows + 1;
        const std::int64_t from = std::max(start, firstData);
        const auto rows =
            static_cast<std::size_t>(std::min(start + kChunkRows - 1, m_lastRow) - from + 1);
        const std::size_t base = cells.size();
        cells.resize(base + rows * variables);
        for (std::int32_t v = 0; v < variables; ++v) {
            Column& c = m_columns[v];
            std::size_t& n = next[v];
            while (n < c.chunks.size() && c.chunks[n].index < band) c.chunks[n++].cells.reset();
            float* o = cells.data() + base + v;
            if (n == c.chunks.size() || c.chunks[n].index != band) {
                for (std::size_t i = 0; i < rows; ++i) o[i * variables] = kMissing;
                continue;
            }
            const std::uint32_t* in = c.chunks[n].cells.get() + (from - start);
            if (!coders[v].column) {
                for (std::size_t i = 0; i < rows; ++i)
                    o[i * variables] = std::bit_cast<float>(in[i]);
            } else {
                for (std::size_t i = 0; i < rows; ++i) {
                    const std::int64_t row = from + static_cast<std::int64_t>(i);
                    if (auto e = coders[v].code(in[i], row, o[i * variables])) return std::move(*e);
                }
            }
            c.chunks[n++].cells.reset();
            freed += kChunkRows * sizeof(std::uint32_t);
            if (freed >= kReleaseBytes) {  // within a band too: a wide sheet's band is large
                ReleaseFreed();
                freed = 0;
            }
        }
    }
    return cells;
}

Result<DataSet, ImportError> SheetTable::finish() {
    if (m_lastRow == 0) return ImportError::Unreadable("the sheet holds no cells");
    // From here on a column's place is its variable's number.
    const auto emptyLeft = static_cast<std::ptrdiff_t>(m_firstColumn - 1);
    m_columns.erase(m_columns.begin(), m_columns.begin() + emptyLeft);
    m_head.erase(m_head.begin(), m_head.begin() + emptyLeft);  // the first row reaches that far
    std::vector<std::string> names;
    std::int64_t firstData = m_firstRow;
    if (auto head = headNames()) {
        names = std::move(*head);
        ++firstData;
    }
    const auto variables = static_cast<std::int32_t>(m_columns.size());
    const auto cases =
        static_cast<std::int32_t>(std::max<std::int64_t>(0, m_lastRow - firstData + 1));
    if (!names.empty()) names.resize(variables);
    // Two cells at opposite corners of a sheet span a grid no memory holds: refuse it before
    // asking for it, rather than leave it to the system's overcommitting.
    const auto bytes = static_cast<double>(cases) * variables * sizeof(float);
    const auto memory = static_cast<double>(::sysconf(_SC_PHYS_PAGES)) * ::sysconf(_SC_PAGE_SIZE);
    if (memory > 0 && bytes > memory / 2) return ImportError::Of(ImportError::Kind::OutOfMemory);

    TableBuilder table;
    std::vector<TextCoder> coders = textColumns(firstData, table);
    auto cells = copyBands(firstData, cases, coders);
    if (!cells) return cells.error();
    m_columns.clear();
    return DataSet(std::move(table).finish(DataMatrix(cases, variables, std::move(cells.value())),
                                           cases, variables, std::move(names)));
}

}  // namespace corvane
