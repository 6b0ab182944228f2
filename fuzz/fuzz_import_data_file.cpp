// ImportDataFile on arbitrary bytes with each delimiter. A success has the counts of the file
// and the cells of its fields; a failure names a field or line that really is at fault, and the
// data set loaded before (committed to modGeneral only on success, as the main window does)
// stays exactly as it was.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzFiles.h"
#include "common/Single.h"
#include "data/FieldClassifier.h"
#include "data/ImportDataFile.h"
#include "data/modGeneral.h"

using namespace corvane;
namespace g = corvane::modGeneral;

namespace {

// The file's lines, split the plain way: CR LF, lone CR and lone LF each end one line.
std::vector<std::string_view> Lines(std::string_view bytes) {
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

std::vector<std::string_view> Fields(std::string_view line, char delimiter) {
    std::vector<std::string_view> fields;
    if (line.empty()) return fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t stop = line.find(delimiter, start);
        if (stop == std::string_view::npos) {
            fields.push_back(line.substr(start));
            return fields;
        }
        fields.push_back(line.substr(start, stop - start));
        start = stop + 1;
    }
}

// What the cell of a field holds, or false when the field cannot be stored.
bool StoredValue(std::string_view field, float& cell) {
    const FieldClass fc = ClassifyField(field);
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
    g::g_sngData = std::move(m);
    g::g_lngNumberOfCases = 2;
    g::g_lngNumberOfVariables = 3;
}

void CheckPreviousKept() {
    FUZZ_CHECK(g::g_lngNumberOfCases == 2 && g::g_lngNumberOfVariables == 3);
    FUZZ_CHECK(g::g_sngData.rows() == 2 && g::g_sngData.storedColumns() == 3);
    const float cells[2][3] = {{1, 2, 3}, {4, kMissing, 6}};
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 3; ++j) FUZZ_CHECK(g::g_sngData.at(i + 1, j + 1) == cells[i][j]);
}

void CheckSuccess(const DataSet& d, const std::vector<std::string_view>& lines, char delimiter) {
    FUZZ_CHECK(d.cases == static_cast<std::int32_t>(lines.size()));
    FUZZ_CHECK(d.matrix.allocated() && d.matrix.rows() == d.cases);
    FUZZ_CHECK(d.variables >= 0 && d.variables <= DataMatrix::kMaxVariables);
    std::size_t widest = 0;
    for (std::size_t r = 0; r < lines.size(); ++r) {
        const auto fields = Fields(lines[r], delimiter);
        widest = std::max(widest, fields.size());
        const auto row = static_cast<std::int32_t>(r + 1);
        for (std::int32_t c = 1; c <= d.variables; ++c) {
            float expected = 0.0f;
            if (static_cast<std::size_t>(c) <= fields.size()) {
                FUZZ_CHECK(StoredValue(fields[c - 1], expected));
            }
            const float cell = d.matrix.at(row, c);
            FUZZ_CHECK(cell == expected && std::signbit(cell) == std::signbit(expected));
        }
    }
    FUZZ_CHECK(static_cast<std::size_t>(d.variables) == widest);
    // Row 0, column 0 and the columns past the file's read 0.
    FUZZ_CHECK(d.matrix.at(0, 1) == 0.0f && d.matrix.at(1, 0) == 0.0f);
    FUZZ_CHECK(d.matrix.at(1, d.variables + 1) == 0.0f);
}

// The first field or line in reading order that cannot be stored is the one the error names.
void CheckFailure(const ImportError& e, const std::vector<std::string_view>& lines,
                  char delimiter) {
    using Kind = ImportError::Kind;
    FUZZ_CHECK(e.kind == Kind::InvalidEntry || e.kind == Kind::NumberTooLarge ||
               e.kind == Kind::TooManyFields);
    for (std::size_t r = 0; r < lines.size(); ++r) {
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
            const bool invalid = ClassifyField(fields[c]).kind == FieldKind::Invalid;
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
            DataSet& d = r.value();
            g::g_sngData = std::move(d.matrix);
            g::g_lngNumberOfCases = d.cases;
            g::g_lngNumberOfVariables = d.variables;
        } else {
            FUZZ_CHECK(!ImportErrorText(r.error(), path).empty());
            CheckFailure(r.error(), lines, delimiter);
            CheckPreviousKept();
        }
    }
    return 0;
}
