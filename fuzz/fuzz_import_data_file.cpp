// ImportDataFile on arbitrary bytes with each delimiter. A success has the counts of the file
// and the cells of its fields; a failure names a field or line that really is at fault, and the
// data set loaded before (committed to modGeneral only on success, as the main window does)
// stays exactly as it was. Records (a line, or several when a quoted field holds line ends) are
// split here the plain way, a byte at a time; a field's bounds, its quotes and what makes a
// names line come from DelimitedFields, so what is checked is the reading in blocks and pieces,
// records across them, the short road for plain decimals and the order of failures. Row
// numbers name the line a record starts on. In a table a column with text holds the codes of
// its labels in order of first appearance.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzFiles.h"
#include "common/Single.h"
#include "data/FieldClassifier.h"
#include "data/TextColumn.h"
#include "data/formats/text/DelimitedFields.h"
#include "data/import/ImportDataFile.h"
#include "data/modGeneral.h"

using namespace corvane;
namespace g = corvane::modGeneral;

namespace {

// One record of the file: a line, or several when a quoted field holds line ends.
struct Record {
    std::string_view text;
    std::int64_t line;   // the line it starts on
    std::int64_t lines;  // how many it spans
};

// The file's records, split the plain way, a byte at a time: CR LF, lone CR and lone LF each
// end a line, and a line end ends a record unless it falls inside a quoted field (one whose
// first character, after spaces with any delimiter but the space, is a quote; it runs to a
// quote not doubled). Text after a closing quote (spaces with any delimiter but the space
// aside) makes the field run on to the next delimiter.
std::vector<Record> Records(std::string_view bytes, char delimiter) {
    enum State { FieldStart, Unquoted, Quoted, AfterQuote, Trailing };
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    const bool trim = delimiter != ' ';
    std::vector<Record> records;
    State state = FieldStart;
    std::size_t start = 0;
    std::int64_t line = 1, first = 1;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            const std::size_t end = i;
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            ++line;
            if (state == Quoted) continue;
            records.push_back({bytes.substr(start, end - start), first, line - first});
            start = i + 1;
            first = line;
            state = FieldStart;
            continue;
        }
        if (state == Quoted) {
            if (c == '"') state = AfterQuote;
        } else if (c == delimiter) {
            state = FieldStart;
        } else if (state == FieldStart) {
            if (c == '"')
                state = Quoted;
            else if (!(trim && c == ' '))
                state = Unquoted;
        } else if (state == AfterQuote) {
            if (c == '"')
                state = Quoted;  // a doubled quote
            else
                state = trim && c == ' ' ? Trailing : Unquoted;
        } else if (state == Trailing && c != ' ') {
            state = Unquoted;
        }
    }
    if (start < bytes.size()) records.push_back({bytes.substr(start), first, line - first + 1});
    return records;
}

struct OracleField {
    std::string text;
    bool malformed;
};

std::vector<OracleField> Fields(std::string_view line, char delimiter) {
    std::vector<OracleField> fields;
    if (line.empty()) return fields;
    std::string scratch;
    std::size_t start = 0;
    for (;;) {
        const Field f = SplitField(line, start, delimiter, scratch);
        fields.push_back({std::string(f.text), f.malformed});
        if (f.stop == line.size()) return fields;
        start = f.stop + 1;
    }
}

// What the cell of a field holds, or false when the field cannot be stored.
bool StoredValue(const OracleField& field, float& cell, bool table = false) {
    if (field.malformed) return false;
    const FieldClass fc = ClassifyField(field.text);
    if (fc.kind == FieldKind::Invalid) {
        if (!table || !IsTableMissing(field.text)) return false;
        cell = kMissing;
        return true;
    }
    cell = fc.kind == FieldKind::Missing ? kMissing : static_cast<float>(fc.value);
    return std::isfinite(cell);
}

// Whether a field of a table is text: neither a number nor a missing form, and no control
// character in it.
bool IsText(const OracleField& field) {
    return !field.malformed && ClassifyField(field.text).kind == FieldKind::Invalid &&
           !IsTableMissing(field.text) && TextColumn::Admits(field.text);
}

// The data set loaded before each import.
void LoadPrevious() {
    DataMatrix m(2, 3);
    const float cells[2][3] = {{1, 2, 3}, {4, kMissing, 6}};
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 3; ++j) m(i + 1, j + 1) = cells[i][j];
    g::Replace(DataSet(DataSet::Contents{std::move(m), 2, 3, {}, {}}));
}

void CheckPreviousKept() {
    FUZZ_CHECK(g::Current()->cases() == 2 && g::Current()->variables() == 3);
    FUZZ_CHECK(g::Current()->matrix().rows() == 2 && g::Current()->matrix().storedColumns() == 3);
    const float cells[2][3] = {{1, 2, 3}, {4, kMissing, 6}};
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 3; ++j)
            FUZZ_CHECK(g::Current()->matrix().at(i + 1, j + 1) == cells[i][j]);
}

// Whether the first record names the variables.
bool NamesLine(const std::vector<Record>& lines, char delimiter) {
    return !lines.empty() &&
           ReadNamesLine(lines[0].text, delimiter, DataMatrix::kMaxVariables).has_value();
}

// Whether text makes text columns: a table, unless the delimiter leaves it one field per line
// where another would split its first lines.
bool TextColumns(const std::vector<Record>& lines, char delimiter) {
    if (!NamesLine(lines, delimiter)) return false;
    std::size_t widest = 0;
    for (const Record& line : lines) widest = std::max(widest, Fields(line.text, delimiter).size());
    if (widest > 1 || lines.size() < 2) return true;
    // The reader keeps the first two records for the hint when each is one short line.
    auto kept = [](const Record& r) {
        return r.lines == 1 && r.text.size() <= (1u << 16) ? r.text : std::string_view();
    };
    return LikelyDelimiter(kept(lines[0]), kept(lines[1]), delimiter) == 0;
}

// Which columns (from 1, at c - 1) of a table hold text in the lines before `endLine`.
std::vector<bool> TextColumnsBefore(const std::vector<Record>& lines, char delimiter,
                                    std::size_t endLine) {
    std::vector<bool> text;
    for (std::size_t r = 1; r < endLine && r < lines.size(); ++r) {
        const auto fields = Fields(lines[r].text, delimiter);
        for (std::size_t c = 0; c < fields.size(); ++c) {
            if (c >= text.size()) text.resize(c + 1, false);
            if (IsText(fields[c])) text[c] = true;
        }
    }
    return text;
}

void CheckTable(const DataSet& d, const std::vector<Record>& lines, char delimiter) {
    const std::vector<bool> text = TextColumnsBefore(lines, delimiter, lines.size());
    std::vector<std::vector<std::string>> labels(text.size());
    for (std::size_t r = 1; r < lines.size(); ++r) {
        const auto fields = Fields(lines[r].text, delimiter);
        const auto row = static_cast<std::int32_t>(r);
        for (std::int32_t c = 1; c <= d.variables(); ++c) {
            float expected = kMissing;  // a cell the line does not reach
            if (static_cast<std::size_t>(c) <= fields.size()) {
                const OracleField& f = fields[c - 1];
                if (text[c - 1] && !IsTableMissing(f.text)) {
                    auto& l = labels[c - 1];
                    auto at = std::find(l.begin(), l.end(), f.text);
                    if (at == l.end()) at = l.insert(at, f.text);
                    expected = static_cast<float>(at - l.begin() + 1);
                } else {
                    FUZZ_CHECK(StoredValue(f, expected, true));
                }
            }
            const float cell = d.matrix().at(row, c);
            FUZZ_CHECK(cell == expected && std::signbit(cell) == std::signbit(expected));
        }
    }
    for (std::int32_t c = 1; c <= d.variables(); ++c) {
        const bool isText = static_cast<std::size_t>(c) <= text.size() && text[c - 1];
        FUZZ_CHECK(d.isText(c) == isText);
        if (!isText) continue;
        FUZZ_CHECK(d.facts(c).labels.size() == labels[c - 1].size());
        for (std::size_t k = 0; k < labels[c - 1].size(); ++k)
            FUZZ_CHECK(d.facts(c).labels[k].text == labels[c - 1][k]);
    }
}

void CheckSuccess(const DataSet& d, const std::vector<Record>& lines, char delimiter) {
    const std::size_t skip = NamesLine(lines, delimiter) ? 1 : 0;
    FUZZ_CHECK(d.names().empty() == (skip == 0));
    FUZZ_CHECK(d.cases() == static_cast<std::int32_t>(lines.size() - skip));
    FUZZ_CHECK(d.matrix().allocated() && d.matrix().rows() == d.cases());
    FUZZ_CHECK(d.variables() >= 0 && d.variables() <= DataMatrix::kMaxVariables);
    const bool table = TextColumns(lines, delimiter);
    if (!table) FUZZ_CHECK(!d.anyLabels());
    std::size_t widest = skip ? d.names().size() : 0;
    for (std::size_t r = skip; r < lines.size(); ++r) {
        const auto fields = Fields(lines[r].text, delimiter);
        widest = std::max(widest, fields.size());
        const auto row = static_cast<std::int32_t>(r + 1 - skip);
        if (table) continue;  // checked below
        for (std::int32_t c = 1; c <= d.variables(); ++c) {
            float expected = kMissing;  // a cell the line does not reach
            if (static_cast<std::size_t>(c) <= fields.size()) {
                FUZZ_CHECK(StoredValue(fields[c - 1], expected));
            }
            const float cell = d.matrix().at(row, c);
            FUZZ_CHECK(cell == expected && std::signbit(cell) == std::signbit(expected));
        }
    }
    FUZZ_CHECK(static_cast<std::size_t>(d.variables()) == widest);
    if (table) CheckTable(d, lines, delimiter);
    // Row 0, column 0 and the columns past the file's read 0.
    FUZZ_CHECK(d.matrix().at(0, 1) == 0.0f && d.matrix().at(1, 0) == 0.0f);
    FUZZ_CHECK(d.matrix().at(1, d.variables() + 1) == 0.0f);
}

// In a table text is no fault and a number too large for a single is one only in a column that
// holds no text: the first such number before the first broken field or overlong line (in
// reading order, the text counted up to there) is the one the error names, else that fault.
void CheckTableFailure(const ImportError& e, const std::vector<Record>& lines, char delimiter) {
    using Kind = ImportError::Kind;
    std::size_t stopLine = lines.size();
    std::size_t stopColumn = 0;
    for (std::size_t r = 1; r < lines.size() && stopColumn == 0; ++r) {
        const auto fields = Fields(lines[r].text, delimiter);
        for (std::size_t c = 0; c < fields.size(); ++c) {
            if (c + 1 > static_cast<std::size_t>(DataMatrix::kMaxVariables) ||
                fields[c].malformed || !TextColumn::Admits(fields[c].text)) {
                stopLine = r;
                stopColumn = c + 1;
                break;
            }
        }
    }
    // The text read before the stop: whole lines before it, and its own line up to it.
    std::vector<bool> text = TextColumnsBefore(lines, delimiter, stopLine);
    if (stopLine < lines.size()) {
        const auto fields = Fields(lines[stopLine].text, delimiter);
        for (std::size_t c = 0; c + 1 < stopColumn; ++c) {
            if (c >= text.size()) text.resize(c + 1, false);
            if (IsText(fields[c])) text[c] = true;
        }
    }
    for (std::size_t r = 1; r <= stopLine && r < lines.size(); ++r) {
        const auto fields = Fields(lines[r].text, delimiter);
        const std::size_t end = r == stopLine ? stopColumn - 1 : fields.size();
        for (std::size_t c = 0; c < end; ++c) {
            float cell;
            if (IsText(fields[c]) || (c < text.size() && text[c]) ||
                StoredValue(fields[c], cell, true))
                continue;
            FUZZ_CHECK(e.kind == Kind::NumberTooLarge && e.row == lines[r].line &&
                       e.column == static_cast<std::int64_t>(c + 1));
            return;
        }
    }
    FUZZ_CHECK(stopLine < lines.size());
    FUZZ_CHECK(e.row == lines[stopLine].line);
    if (stopColumn > static_cast<std::size_t>(DataMatrix::kMaxVariables)) {
        FUZZ_CHECK(e.kind == Kind::TooManyFields);
    } else {
        FUZZ_CHECK(e.kind == Kind::InvalidEntry &&
                   e.column == static_cast<std::int64_t>(stopColumn));
    }
}

// The first field or line in reading order that cannot be stored is the one the error names.
void CheckFailure(const ImportError& e, const std::vector<Record>& lines, char delimiter) {
    using Kind = ImportError::Kind;
    const std::size_t skip = NamesLine(lines, delimiter) ? 1 : 0;
    // A chosen delimiter is refused only where it splits the lines unevenly, or leaves a table
    // in one column, so that it would misread the file.
    if (e.kind == Kind::MisreadDelimiter) {
        std::size_t fewest = SIZE_MAX, most = 0;
        for (const Record& line : lines) {
            if (line.text.empty()) continue;
            fewest = std::min(fewest, Fields(line.text, delimiter).size());
            most = std::max(most, Fields(line.text, delimiter).size());
        }
        FUZZ_CHECK(most > 0 && (fewest != most || (most == 1 && skip == 1)));
        return;
    }
    FUZZ_CHECK(e.kind == Kind::InvalidEntry || e.kind == Kind::NumberTooLarge ||
               e.kind == Kind::TooManyFields);
    if (TextColumns(lines, delimiter)) {
        CheckTableFailure(e, lines, delimiter);
        return;
    }
    for (std::size_t r = skip; r < lines.size(); ++r) {
        const auto fields = Fields(lines[r].text, delimiter);
        const std::int64_t row = lines[r].line;
        for (std::size_t c = 0; c < fields.size(); ++c) {
            const auto column = static_cast<std::int64_t>(c + 1);
            if (column > DataMatrix::kMaxVariables) {
                FUZZ_CHECK(e.kind == Kind::TooManyFields && e.row == row);
                return;
            }
            float cell;
            if (StoredValue(fields[c], cell)) continue;
            FUZZ_CHECK(e.row == row && e.column == column);
            const bool invalid =
                fields[c].malformed || ClassifyField(fields[c].text).kind == FieldKind::Invalid;
            FUZZ_CHECK(e.kind == (invalid ? Kind::InvalidEntry : Kind::NumberTooLarge));
            return;
        }
    }
    FUZZ_CHECK(!"an error for a file without a fault");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = WriteFuzzFile("data.txt", bytes.data(), bytes.size());
    for (const char delimiter : {' ', ',', '\t', '|'}) {
        const auto lines = Records(bytes, delimiter);
        LoadPrevious();
        auto r = ImportDataFile(path, delimiter);
        if (r) {
            CheckSuccess(r.value(), lines, delimiter);
            g::Replace(std::move(r).value());
        } else {
            FUZZ_CHECK(!ImportErrorText(r.error(), path).empty());
            CheckFailure(r.error(), lines, delimiter);
            CheckPreviousKept();
        }
    }
    return 0;
}
