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
#include "data/formats/DelimitedFields.h"

namespace corvane {

namespace {

// A number in a text column stands for itself: its shortest single-precision spelling.
std::string NumberLabel(float value) {
    char buffer[32];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, r.ptr);
}

constexpr std::uint32_t kTextTag = 0xFF800000u;  // a negative NaN's sign and exponent
constexpr std::uint32_t kMaxTextId = 0x007FFFFFu;
const std::uint32_t kMissingBits = std::bit_cast<std::uint32_t>(kMissing);

bool IsTextCell(std::uint32_t bits) {
    return (bits & kTextTag) == kTextTag && (bits & kMaxTextId) != 0;
}

// The codes of a text column: 1, 2, ... by first appearance of each label going down.
struct TextCoding {
    std::unordered_map<std::string, float> codes;
    std::vector<float> byId;  // by text index + 1, 0 until the text is met

    float label(std::string label, VariableFacts& f) {
        auto [it, added] = codes.try_emplace(label, 0.0f);
        if (added) {
            it->second = static_cast<float>(f.labels.size() + 1);
            f.labels.push_back(ValueLabel{it->second, std::move(label)});
        }
        return it->second;
    }

    float code(std::uint32_t bits, const std::vector<std::string>& texts, VariableFacts& f) {
        if (IsTextCell(bits)) {
            float& known = byId[bits & kMaxTextId];
            if (known == 0.0f) known = label(texts[(bits & kMaxTextId) - 1], f);
            return known;
        }
        const float value = std::bit_cast<float>(bits);
        return IsMissing(value) ? kMissing : label(NumberLabel(value), f);
    }
};

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
        auto [it, added] = c.ids.try_emplace(std::string(text), 0);
        if (added) {
            // Only cells written over and over in one place come near this many texts.
            if (c.texts.size() >= kMaxTextId) {
                c.ids.erase(it);
                return ImportError::Of(ImportError::Kind::OutOfMemory);
            }
            c.texts.emplace_back(text);
            it->second = static_cast<std::int32_t>(c.texts.size());
        }
        bits = kTextTag | static_cast<std::uint32_t>(it->second);
    }
    std::uint32_t& at = cell(c, row);
    c.textCells += static_cast<int>(IsTextCell(bits)) - static_cast<int>(IsTextCell(at));
    at = bits;
    if (m_firstRow == 0 || row < m_firstRow) {
        m_firstRow = row;
        m_head.clear();
    }
    m_lastRow = std::max(m_lastRow, row);
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
    if (HasControlCharacter(text))
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
        if (h.kind != CellKind::Text) return std::nullopt;
        Field f;
        f.text = h.text;
        f.stop = h.text.size();
        f.quoted = true;
        if (!IsName(f)) return std::nullopt;
        names.push_back(h.text);
        anyName = true;
    }
    if (!anyName) return std::nullopt;
    return names;
}

Result<DataSet, ImportError> SheetTable::finish() {
    if (m_lastRow == 0) return ImportError::Unreadable("the sheet holds no cells");
    DataSet::Contents out;
    std::int64_t firstData = m_firstRow;
    if (auto names = headNames()) {
        out.names = std::move(*names);
        ++firstData;
    }
    const auto variables = static_cast<std::int32_t>(m_columns.size());
    const auto cases =
        static_cast<std::int32_t>(std::max<std::int64_t>(0, m_lastRow - firstData + 1));
    out.variables = variables;
    out.cases = cases;
    if (!out.names.empty()) out.names.resize(variables);
    // Two cells at opposite corners of a sheet span a grid no memory holds: refuse it before
    // asking for it, rather than leave it to the system's overcommitting.
    const auto bytes = static_cast<double>(cases) * variables * sizeof(float);
    const auto memory = static_cast<double>(::sysconf(_SC_PHYS_PAGES)) * ::sysconf(_SC_PAGE_SIZE);
    if (memory > 0 && bytes > memory / 2) return ImportError::Of(ImportError::Kind::OutOfMemory);

    bool anyText = false;
    std::vector<VariableFacts> facts(variables);
    std::vector<TextCoding> coding(variables);
    std::vector<bool> isText(variables, false);
    const auto firstBand = static_cast<std::int32_t>((firstData - 1) / kChunkRows);
    for (std::int32_t v = 0; v < variables; ++v) {
        Column& c = m_columns[v];
        c.ids = {};
        if (c.textCells == 0) continue;
        // The column is text when a data row holds text.
        std::int64_t firstTextAt = -1;
        std::uint32_t firstText = 0;
        for (const Chunk& k : c.chunks) {
            if (k.index < firstBand) continue;
            const std::int64_t start = std::int64_t{k.index} * kChunkRows + 1;
            for (std::int64_t r = std::max(start, firstData); r < start + kChunkRows; ++r) {
                if (IsTextCell(k.cells[r - start])) {
                    firstTextAt = r;
                    firstText = k.cells[r - start];
                    break;
                }
            }
            if (firstTextAt >= 0) break;
        }
        if (firstTextAt < 0) continue;
        anyText = true;
        isText[v] = true;
        VariableFacts& f = facts[v];
        f.kind = VariableKind::Text;
        f.firstText = c.texts[(firstText & kMaxTextId) - 1];
        f.firstTextRow = firstTextAt;
        coding[v].byId.assign(c.texts.size() + 1, 0.0f);
    }

    // Reserving touches no pages: the resident memory grows only as the rows are written, while
    // the chunks they came from are freed band by band.
    std::vector<float> cells;
    cells.reserve(static_cast<std::size_t>(cases) * static_cast<std::size_t>(variables));
    std::vector<std::size_t> next(variables, 0);  // each column's first chunk not yet copied
    std::size_t freed = 0;
    const auto lastBand = static_cast<std::int32_t>((m_lastRow - 1) / kChunkRows);
    for (std::int32_t band = firstBand; cases > 0 && band <= lastBand; ++band) {
        const std::int64_t start = std::int64_t{band} * kChunkRows + 1;
        const std::int64_t from = std::max(start, firstData);
        const std::int64_t to = std::min(start + kChunkRows - 1, m_lastRow);
        const auto rows = static_cast<std::size_t>(to - from + 1);
        const std::size_t base = cells.size();
        cells.resize(base + rows * variables);
        float* out = cells.data() + base;
        for (std::int32_t v = 0; v < variables; ++v) {
            Column& c = m_columns[v];
            std::size_t& n = next[v];
            while (n < c.chunks.size() && c.chunks[n].index < band) c.chunks[n++].cells.reset();
            float* o = out + v;
            if (n == c.chunks.size() || c.chunks[n].index != band) {
                for (std::size_t i = 0; i < rows; ++i) o[i * variables] = kMissing;
                continue;
            }
            const std::uint32_t* in = c.chunks[n].cells.get() + (from - start);
            if (!isText[v]) {
                for (std::size_t i = 0; i < rows; ++i)
                    o[i * variables] = std::bit_cast<float>(in[i]);
            } else {
                for (std::size_t i = 0; i < rows; ++i)
                    o[i * variables] = coding[v].code(in[i], c.texts, facts[v]);
            }
            c.chunks[n++].cells.reset();
            freed += kChunkRows * sizeof(std::uint32_t);
            if (freed >= kReleaseBytes) {  // within a band too: a wide sheet's band is large
                ReleaseFreed();
                freed = 0;
            }
        }
    }
    m_columns.clear();
    out.matrix = DataMatrix(cases, variables, std::move(cells));
    if (anyText) out.facts = std::move(facts);
    return DataSet(std::move(out));
}

}  // namespace corvane
