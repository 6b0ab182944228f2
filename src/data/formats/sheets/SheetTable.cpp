#include "data/formats/sheets/SheetTable.h"

#include <unistd.h>

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

void SheetTable::store(std::int64_t row, std::int64_t column, CellKind kind, float value,
                       std::string_view text) {
    if (m_columns.size() < static_cast<std::size_t>(column)) m_columns.resize(column);
    Column& c = m_columns[column - 1];
    const auto at = static_cast<std::size_t>(row - 1);
    if (c.values.size() <= at) c.values.resize(at + 1, kMissing);
    c.values[at] = value;
    if (kind == CellKind::Text || kind == CellKind::Date) {
        if (c.textIds.size() <= at) c.textIds.resize(std::max(at + 1, c.values.size()), 0);
        auto [it, added] = c.ids.try_emplace(std::string(text), 0);
        if (added) {
            c.texts.emplace_back(text);
            it->second = static_cast<std::int32_t>(c.texts.size());
        }
        c.textIds[at] = it->second;
    } else if (at < c.textIds.size()) {
        c.textIds[at] = 0;
    }
    if (m_firstRow == 0 || row < m_firstRow) {
        m_firstRow = row;
        m_head.clear();
    }
    m_lastRow = std::max(m_lastRow, row);
    if (row == m_firstRow) {
        if (m_head.size() < static_cast<std::size_t>(column)) m_head.resize(column);
        m_head[column - 1] = HeadCell{kind, std::string(text), true};
    }
}

std::optional<ImportError> SheetTable::number(std::int64_t row, std::int64_t column, double value) {
    if (auto e = place(row, column)) return e;
    const float v = static_cast<float>(value);
    if (!std::isfinite(v)) return ImportError::Of(ImportError::Kind::NumberTooLarge, row, column);
    store(row, column, CellKind::Number, v, {});
    return std::nullopt;
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
            store(row, column, CellKind::Number, v, text);
            break;
        }
        case FieldKind::Missing:
            store(row, column, CellKind::Missing, kMissing, text);
            break;
        case FieldKind::Invalid:
            store(row, column, CellKind::Text, kMissing, text);
            break;
    }
    return std::nullopt;
}

std::optional<ImportError> SheetTable::date(std::int64_t row, std::int64_t column,
                                            std::string_view text) {
    if (auto e = place(row, column)) return e;
    store(row, column, CellKind::Date, kMissing, text);
    return std::nullopt;
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
    out.matrix = DataMatrix(cases, variables);

    bool anyText = false;
    std::vector<VariableFacts> facts(variables);
    for (std::int32_t v = 1; v <= variables; ++v) {
        Column& c = m_columns[v - 1];
        const auto rowsHeld = static_cast<std::int64_t>(c.values.size());
        // The column is text when a data row holds text.
        std::int64_t firstTextAt = -1;
        for (std::int64_t r = firstData;
             r <= rowsHeld && r <= static_cast<std::int64_t>(c.textIds.size()); ++r) {
            if (c.textIds[r - 1] != 0) {
                firstTextAt = r;
                break;
            }
        }
        if (firstTextAt < 0) {
            for (std::int64_t r = firstData; r <= rowsHeld; ++r)
                out.matrix(static_cast<std::int32_t>(r - firstData + 1), v) = c.values[r - 1];
        } else {
            anyText = true;
            VariableFacts& f = facts[v - 1];
            f.kind = VariableKind::Text;
            f.firstText = c.texts[c.textIds[firstTextAt - 1] - 1];
            f.firstTextRow = firstTextAt;
            std::unordered_map<std::string, float> codes;
            for (std::int64_t r = firstData; r <= rowsHeld; ++r) {
                const std::int32_t id =
                    r <= static_cast<std::int64_t>(c.textIds.size()) ? c.textIds[r - 1] : 0;
                const float value = c.values[r - 1];
                float& cell = out.matrix(static_cast<std::int32_t>(r - firstData + 1), v);
                if (id == 0 && IsMissing(value)) {
                    cell = kMissing;
                    continue;
                }
                std::string label = id != 0 ? c.texts[id - 1] : NumberLabel(value);
                auto [it, added] = codes.try_emplace(label, 0.0f);
                if (added) {
                    it->second = static_cast<float>(f.labels.size() + 1);
                    f.labels.push_back(ValueLabel{it->second, std::move(label)});
                }
                cell = it->second;
            }
        }
        for (std::int64_t r = std::max(rowsHeld + 1, firstData); r <= m_lastRow; ++r)
            out.matrix(static_cast<std::int32_t>(r - firstData + 1), v) = kMissing;
        c = Column{};  // its cells are in the matrix now
    }
    if (anyText) out.facts = std::move(facts);
    return DataSet(std::move(out));
}

}  // namespace corvane
