// ImportDataFile on arbitrary bytes with each delimiter. A success has the counts of the file
// and the cells of its fields; a failure names a field or line that really is at fault, and the
// data set loaded before (committed to modGeneral only on success, as the main window does)
// stays exactly as it was. Lines are split here the plain way; a field's bounds, its quotes
// and what makes a names line come from DelimitedFields, so what is checked is the reading in
// blocks and pieces, the short road for plain decimals and the order of failures.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzFiles.h"
#include "common/Single.h"
#include "data/FieldClassifier.h"
#include "data/formats/DelimitedFields.h"
#include "data/formats/ImportDataFile.h"
#include "data/modGeneral.h"

using namespace corvane;
namespace g = corvane::modGeneral;

namespace {

// The file's lines, split the plain way: CR LF, lone CR and lone LF each end one line.
std::vector<std::string_view> Lines(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n') continue;
        lines.push_back(bytes.substr(start, i - start));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < bytes.size()) lines.push_back(bytes.substr(start));
    return lines;
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
bool StoredValue(const OracleField& field, float& cell) {
    if (field.malformed) return false;
    const FieldClass fc = ClassifyField(field.text);
    if (fc.kind == FieldKind::Invalid) return false;
    cell = fc.kind == FieldKind::Missing ? kMissing : static_cast<float>(fc.value);
    return std::isfinite(cell);
}

// The data set loaded before each import.
void LoadPrevious() {
    DataMatrix m(2, 3);
    const float cells[2][3] = {{1, 2, 3}, {4, kMissing, 6}};
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 3; ++j) m(i + 1, j + 1) = cells[i][j];
    g::Replace(DataSet(DataSet::Contents{std::move(m), 2, 3, {}}));
}

void CheckPreviousKept() {
    FUZZ_CHECK(g::Current()->cases() == 2 && g::Current()->variables() == 3);
    FUZZ_CHECK(g::Current()->matrix().rows() == 2 && g::Current()->matrix().storedColumns() == 3);
    const float cells[2][3] = {{1, 2, 3}, {4, kMissing, 6}};
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 3; ++j)
            FUZZ_CHECK(g::Current()->matrix().at(i + 1, j + 1) == cells[i][j]);
}

// Whether the first line names the variables.
bool NamesLine(const std::vector<std::string_view>& lines, char delimiter) {
    return !lines.empty() &&
           ReadNamesLine(lines[0], delimiter, DataMatrix::kMaxVariables).has_value();
}

void CheckSuccess(const DataSet& d, const std::vector<std::string_view>& lines, char delimiter) {
    const std::size_t skip = NamesLine(lines, delimiter) ? 1 : 0;
    FUZZ_CHECK(d.names().empty() == (skip == 0));
    FUZZ_CHECK(d.cases() == static_cast<std::int32_t>(lines.size() - skip));
    FUZZ_CHECK(d.matrix().allocated() && d.matrix().rows() == d.cases());
    FUZZ_CHECK(d.variables() >= 0 && d.variables() <= DataMatrix::kMaxVariables);
    std::size_t widest = skip ? d.names().size() : 0;
    for (std::size_t r = skip; r < lines.size(); ++r) {
        const auto fields = Fields(lines[r], delimiter);
        widest = std::max(widest, fields.size());
        const auto row = static_cast<std::int32_t>(r + 1 - skip);
        for (std::int32_t c = 1; c <= d.variables(); ++c) {
            float expected = 0.0f;
            if (static_cast<std::size_t>(c) <= fields.size()) {
                FUZZ_CHECK(StoredValue(fields[c - 1], expected));
            }
            const float cell = d.matrix().at(row, c);
            FUZZ_CHECK(cell == expected && std::signbit(cell) == std::signbit(expected));
        }
    }
    FUZZ_CHECK(static_cast<std::size_t>(d.variables()) == widest);
    // Row 0, column 0 and the columns past the file's read 0.
    FUZZ_CHECK(d.matrix().at(0, 1) == 0.0f && d.matrix().at(1, 0) == 0.0f);
    FUZZ_CHECK(d.matrix().at(1, d.variables() + 1) == 0.0f);
}

// The first field or line in reading order that cannot be stored is the one the error names.
void CheckFailure(const ImportError& e, const std::vector<std::string_view>& lines,
                  char delimiter) {
    using Kind = ImportError::Kind;
    FUZZ_CHECK(e.kind == Kind::InvalidEntry || e.kind == Kind::NumberTooLarge ||
               e.kind == Kind::TooManyFields);
    const std::size_t skip = NamesLine(lines, delimiter) ? 1 : 0;
    for (std::size_t r = skip; r < lines.size(); ++r) {
        const auto fields = Fields(lines[r], delimiter);
        const auto row = static_cast<std::int64_t>(r + 1);
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
    const auto lines = Lines(bytes);
    for (const char delimiter : {' ', ',', '\t'}) {
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
