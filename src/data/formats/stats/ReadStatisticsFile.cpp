#include "data/formats/stats/ReadStatisticsFile.h"

#include <readstat.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/Single.h"
#include "data/DataMatrix.h"
#include "data/OpenDataFile.h"
#include "data/OutOfMemory.h"
#include "data/TableBuilder.h"
#include "data/formats/stats/StatValueText.h"

namespace corvane {

namespace {

using Kind = ImportError::Kind;

// Cells reserved ahead from the count of cases a header claims: no more memory than the file
// has bytes, or 64 MB. Past that the cells grow as the cases arrive.
constexpr std::int64_t kTrustedCells = 16 * 1024 * 1024;

struct Variable {
    std::string name;
    bool text = false;
    TemporalKind temporal = TemporalKind::None;
    std::string labelSet;
    // SPSS user-missing values and ranges, whose labels the variable does not keep.
    std::vector<std::pair<double, double>> missing;
};

struct Reading {
    StatFileKind kind = StatFileKind::None;
    std::int64_t fileBytes = 0;
    std::vector<Variable> variables;
    std::vector<float> cells;
    std::int64_t cases = 0;
    std::unordered_map<std::string, std::vector<ValueLabel>> labelSets;
    TableBuilder table;
    std::optional<ImportError> failure;
};

double NumberOf(readstat_value_t value) {
    switch (readstat_value_type(value)) {
        case READSTAT_TYPE_INT8:
            return readstat_int8_value(value);
        case READSTAT_TYPE_INT16:
            return readstat_int16_value(value);
        case READSTAT_TYPE_INT32:
            return readstat_int32_value(value);
        case READSTAT_TYPE_FLOAT:
            return readstat_float_value(value);
        case READSTAT_TYPE_DOUBLE:
            return readstat_double_value(value);
        default:
            return std::numeric_limits<double>::quiet_NaN();
    }
}

// ReadStat calls back from C: nothing may be thrown through it.
template <class F>
int Guarded(Reading& r, F&& f) {
    return CatchingOutOfMemory([&]() -> int { return f(); },
                               [&](ImportError e) -> int {
                                   r.failure = std::move(e);
                                   return READSTAT_HANDLER_ABORT;
                               });
}

int OnMetadata(readstat_metadata_t* metadata, void* ctx) {
    auto& r = *static_cast<Reading*>(ctx);
    return Guarded(r, [&] {
        const std::int64_t variables = readstat_get_var_count(metadata);
        // The names are the file's first row, as a text file's names line is.
        if (variables > DataMatrix::kMaxVariables) {
            r.failure = ImportError::Of(Kind::TooManyFields, 1);
            return READSTAT_HANDLER_ABORT;
        }
        const std::int64_t claimed = readstat_get_row_count(metadata);
        if (variables > 0 && claimed > 0) {
            const std::int64_t cells =
                std::min(claimed * variables, std::max(r.fileBytes / 4, kTrustedCells));
            r.cells.reserve(static_cast<std::size_t>(cells));
        }
        return READSTAT_HANDLER_OK;
    });
}

int OnVariable(int index, readstat_variable_t* variable, const char* labelSet, void* ctx) {
    auto& r = *static_cast<Reading*>(ctx);
    return Guarded(r, [&] {
        if (index >= DataMatrix::kMaxVariables) {
            r.failure = ImportError::Of(Kind::TooManyFields, 1);
            return READSTAT_HANDLER_ABORT;
        }
        if (static_cast<std::size_t>(index) >= r.variables.size())
            r.variables.resize(static_cast<std::size_t>(index) + 1);
        Variable& v = r.variables[static_cast<std::size_t>(index)];
        const char* name = readstat_variable_get_name(variable);
        v.name = name ? name : "";
        v.text = readstat_variable_get_type_class(variable) == READSTAT_TYPE_CLASS_STRING;
        const char* format = readstat_variable_get_format(variable);
        if (!v.text && format) v.temporal = TemporalKindOf(r.kind, format);
        if (v.text || v.temporal != TemporalKind::None) r.table.text(index + 1);
        v.labelSet = labelSet ? labelSet : "";
        for (int i = 0; i < readstat_variable_get_missing_ranges_count(variable); ++i) {
            v.missing.emplace_back(NumberOf(readstat_variable_get_missing_range_lo(variable, i)),
                                   NumberOf(readstat_variable_get_missing_range_hi(variable, i)));
        }
        return READSTAT_HANDLER_OK;
    });
}

// The code of a text cell of variable `index` (from 0), case `row` (from 0).
int StoreText(Reading& r, int index, int row, std::string_view text, float& cell) {
    TextColumn& column = r.table.text(index + 1);
    if (auto e = column.code(row + std::int64_t{2}, text, cell)) {
        r.failure = std::move(*e);
        return READSTAT_HANDLER_ABORT;
    }
    column.firstText(row + std::int64_t{2}, text);
    return READSTAT_HANDLER_OK;
}

// The cell for case `row`, growing the cells by a case when it is the next.
float* CellOf(Reading& r, int row, int index) {
    const auto columns = static_cast<std::int64_t>(r.variables.size());
    if (row >= r.cases) {
        // A case past the int32 range arrives only from a file larger than memory anyway.
        if (row >= std::numeric_limits<std::int32_t>::max()) {
            r.failure = ImportError::Of(Kind::TooManyLines);
            return nullptr;
        }
        r.cases = static_cast<std::int64_t>(row) + 1;
        r.cells.resize(static_cast<std::size_t>(r.cases * columns), kMissing);
    }
    return &r.cells[static_cast<std::size_t>(row * columns + index)];
}

int OnValue(int row, readstat_variable_t* variable, readstat_value_t value, void* ctx) {
    auto& r = *static_cast<Reading*>(ctx);
    return Guarded(r, [&]() -> int {
        const int index = readstat_variable_get_index(variable);
        if (row < 0 || index < 0 || index >= std::ssize(r.variables)) return READSTAT_HANDLER_OK;
        float* cell = CellOf(r, row, index);
        if (!cell) return READSTAT_HANDLER_ABORT;
        const Variable& v = r.variables[static_cast<std::size_t>(index)];
        if (readstat_value_is_missing(value, variable)) {
            *cell = kMissing;
        } else if (v.text) {
            const char* s = readstat_value_type(value) == READSTAT_TYPE_STRING
                                ? readstat_string_value(value)
                                : nullptr;
            std::string_view text = s ? s : "";
            while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
            if (text.empty()) {
                *cell = kMissing;
                return READSTAT_HANDLER_OK;
            }
            return StoreText(r, index, row, text, *cell);
        } else if (v.temporal != TemporalKind::None) {
            return StoreText(r, index, row, TemporalText(r.kind, v.temporal, NumberOf(value)),
                             *cell);
        } else {
            const float f = static_cast<float>(NumberOf(value));
            if (!std::isfinite(f)) {
                r.failure = ImportError::Of(Kind::NumberTooLarge, row + 2, index + 1);
                return READSTAT_HANDLER_ABORT;
            }
            *cell = f;
        }
        return READSTAT_HANDLER_OK;
    });
}

int OnValueLabel(const char* labelSet, readstat_value_t value, const char* label, void* ctx) {
    auto& r = *static_cast<Reading*>(ctx);
    return Guarded(r, [&] {
        if (!labelSet || !label || readstat_value_type(value) == READSTAT_TYPE_STRING ||
            readstat_value_is_system_missing(value) || readstat_value_is_tagged_missing(value))
            return READSTAT_HANDLER_OK;
        const double code = NumberOf(value);
        if (std::isfinite(static_cast<float>(code)))
            r.labelSets[labelSet].push_back(ValueLabel{static_cast<float>(code), label});
        return READSTAT_HANDLER_OK;
    });
}

// Stata writes its labels after the data, so they are joined to the variables at the end.
void AttachLabels(Reading& r) {
    for (std::size_t i = 0; i < r.variables.size(); ++i) {
        const Variable& v = r.variables[i];
        if (v.text || v.temporal != TemporalKind::None || v.labelSet.empty()) continue;
        const auto set = r.labelSets.find(v.labelSet);
        if (set == r.labelSets.end()) continue;
        std::vector<ValueLabel> labels;
        for (const ValueLabel& l : set->second) {
            const bool missing = std::any_of(v.missing.begin(), v.missing.end(), [&](auto m) {
                return l.code >= m.first && l.code <= m.second;
            });
            if (!missing) labels.push_back(l);
        }
        if (!labels.empty())
            r.table.labelNumbers(static_cast<std::int32_t>(i + 1), std::move(labels));
    }
}

readstat_error_t Parse(readstat_parser_t* parser, StatFileKind kind, const std::string& path,
                       Reading& r) {
    switch (kind) {
        case StatFileKind::SpssData:
        case StatFileKind::SpssCompressed:
            return readstat_parse_sav(parser, path.c_str(), &r);
        case StatFileKind::SpssPortable:
            return readstat_parse_por(parser, path.c_str(), &r);
        case StatFileKind::Stata:
            return readstat_parse_dta(parser, path.c_str(), &r);
        case StatFileKind::SasData:
            return readstat_parse_sas7bdat(parser, path.c_str(), &r);
        case StatFileKind::SasTransport:
            return readstat_parse_xport(parser, path.c_str(), &r);
        case StatFileKind::None:
            break;
    }
    return READSTAT_ERROR_UNSUPPORTED_FILE_FORMAT_VERSION;
}

// What a file whose content is not the format its name says seems to be: "the file is named
// .sav but holds text, not an SPSS data file".
std::string NotTheNamedFormat(const std::string& path, StatFileKind kind, std::string_view head) {
    const bool text = std::all_of(head.begin(), head.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u >= 0x20 || u == '\t' || u == '\n' || u == '\r' || u == '\f' || u == '\v';
    });
    const std::size_t dot = path.rfind('.');
    std::string says = "the file";
    if (dot != std::string::npos && path.find('/', dot) == std::string::npos)
        says += " is named " + path.substr(dot) + " but";
    return says + (text ? " holds text, not " : " is not ") + std::string(StatFileKindName(kind));
}

// ReadStat's failure in the user's words: a file cut short says so, and one whose content is not
// the format its name says names what it seems to be.
ImportError Failed(const std::string& path, StatFileKind kind, readstat_error_t error) {
    auto head = ReadFileHead(path);
    if (head && SniffStatisticsContent(head.value().bytes) != kind)
        return ImportError::Unreadable(NotTheNamedFormat(path, kind, head.value().bytes));
    if (error == READSTAT_ERROR_READ || error == READSTAT_ERROR_SEEK ||
        error == READSTAT_ERROR_ROW_COUNT_MISMATCH)
        return ImportError::Unreadable("the file ends before its data does");
    return ImportError::Unreadable(readstat_error_message(error));
}

struct ParserFree {
    void operator()(readstat_parser_t* p) const { readstat_parser_free(p); }
};

Result<DataSet, ImportError> Read(const std::string& path, StatFileKind kind,
                                  std::int64_t fileBytes) {
    // A pipe or a device would block ReadStat's open or never end.
    if (auto file = OpenDataFile(path); !file) return file.error();
    Reading r;
    r.kind = kind;
    r.fileBytes = fileBytes;
    const std::unique_ptr<readstat_parser_t, ParserFree> parser(readstat_parser_init());
    if (!parser) return ImportError::Of(Kind::OutOfMemory);
    readstat_set_metadata_handler(parser.get(), OnMetadata);
    readstat_set_variable_handler(parser.get(), OnVariable);
    readstat_set_value_handler(parser.get(), OnValue);
    readstat_set_value_label_handler(parser.get(), OnValueLabel);
    const readstat_error_t error = Parse(parser.get(), kind, path, r);
    if (r.failure) return *r.failure;
    if (error != READSTAT_OK) return Failed(path, kind, error);

    AttachLabels(r);
    const auto columns = static_cast<std::int32_t>(r.variables.size());
    const auto cases = static_cast<std::int32_t>(r.cases);
    r.cells.resize(static_cast<std::size_t>(r.cases) * r.variables.size(), kMissing);
    std::vector<std::string> names;
    for (Variable& v : r.variables) names.push_back(std::move(v.name));
    return DataSet(std::move(r.table).finish(DataMatrix(cases, columns, std::move(r.cells)), cases,
                                             columns, std::move(names)));
}

}  // namespace

Result<DataSet, ImportError> ReadStatisticsFile(const std::string& path) {
    auto head = ReadFileHead(path);
    if (!head) return head.error();
    const StatFileKind kind = SniffStatisticsFile(head.value().bytes, path);
    if (kind == StatFileKind::None)
        return ImportError::Unreadable("not an SPSS, Stata or SAS data file");
    return ReadStatisticsFile(path, kind, head.value().size);
}

Result<DataSet, ImportError> ReadStatisticsFile(const std::string& path, StatFileKind kind) {
    auto head = ReadFileHead(path);
    if (!head) return head.error();
    return ReadStatisticsFile(path, kind, head.value().size);
}

Result<DataSet, ImportError> ReadStatisticsFile(const std::string& path, StatFileKind kind,
                                                std::int64_t fileBytes) {
    return CatchingOutOfMemory([&] { return Read(path, kind, fileBytes); });
}

}  // namespace corvane
