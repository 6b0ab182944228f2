#include "data/formats/stats/ReadStatisticsFile.h"

#include <readstat.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <new>
#include <optional>
#include <stdexcept>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/Single.h"
#include "data/DataMatrix.h"
#include "data/formats/stats/StatValueText.h"

namespace corvane {

namespace {

using Kind = ImportError::Kind;

// Cells reserved ahead from the count of cases a header claims: no more memory than the file
// has bytes, or 64 MB. Past that the cells grow as the cases arrive.
constexpr std::int64_t kTrustedCells = 16 * 1024 * 1024;
// Text codes stay exact in single precision up to 2^24.
constexpr std::size_t kMaxTexts = std::size_t{1} << 24;

struct Variable {
    std::string name;
    bool text = false;
    TemporalKind temporal = TemporalKind::None;
    std::string labelSet;
    // SPSS user-missing values and ranges, whose labels the variable does not keep.
    std::vector<std::pair<double, double>> missing;
    // Text variables: the code of each text seen, and the labels in order of first appearance.
    std::unordered_map<std::string, float> codes;
    VariableFacts facts;
};

struct Reading {
    StatFileKind kind = StatFileKind::None;
    std::int64_t fileBytes = 0;
    std::vector<Variable> variables;
    std::vector<float> cells;
    std::int64_t cases = 0;
    std::unordered_map<std::string, std::vector<ValueLabel>> labelSets;
    std::optional<ImportError> failure;
    std::string scratch;
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
    try {
        return f();
    } catch (const std::bad_alloc&) {
        r.failure = ImportError::Of(Kind::OutOfMemory);
    } catch (const std::length_error&) {
        r.failure = ImportError::Of(Kind::OutOfMemory);
    }
    return READSTAT_HANDLER_ABORT;
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
        if (v.text || v.temporal != TemporalKind::None) v.facts.kind = VariableKind::Text;
        v.labelSet = labelSet ? labelSet : "";
        for (int i = 0; i < readstat_variable_get_missing_ranges_count(variable); ++i) {
            v.missing.emplace_back(NumberOf(readstat_variable_get_missing_range_lo(variable, i)),
                                   NumberOf(readstat_variable_get_missing_range_hi(variable, i)));
        }
        return READSTAT_HANDLER_OK;
    });
}

// The code of a text cell of variable v, case `row` (from 0); a new text takes the next code.
float TextCode(Variable& v, std::int64_t row, const std::string& text) {
    const auto [at, added] = v.codes.try_emplace(text, static_cast<float>(v.codes.size() + 1));
    if (added) {
        v.facts.labels.push_back(ValueLabel{at->second, text});
        if (v.facts.labels.size() == 1) {
            v.facts.firstText = text;
            v.facts.firstTextRow = row + 2;
        }
    }
    return at->second;
}

int OnValue(int row, readstat_variable_t* variable, readstat_value_t value, void* ctx) {
    auto& r = *static_cast<Reading*>(ctx);
    return Guarded(r, [&] {
        const int index = readstat_variable_get_index(variable);
        const auto columns = static_cast<std::int64_t>(r.variables.size());
        if (row < 0 || index < 0 || index >= columns) return READSTAT_HANDLER_OK;
        if (row >= r.cases) {
            // A case past the int32 range arrives only from a file larger than memory anyway.
            if (row >= std::numeric_limits<std::int32_t>::max()) {
                r.failure = ImportError::Of(Kind::TooManyLines);
                return READSTAT_HANDLER_ABORT;
            }
            r.cases = static_cast<std::int64_t>(row) + 1;
            r.cells.resize(static_cast<std::size_t>(r.cases * columns), kMissing);
        }
        float& cell = r.cells[static_cast<std::size_t>(row * columns + index)];
        Variable& v = r.variables[static_cast<std::size_t>(index)];
        if (readstat_value_is_missing(value, variable)) {
            cell = kMissing;
        } else if (v.text) {
            const char* s = readstat_value_type(value) == READSTAT_TYPE_STRING
                                ? readstat_string_value(value)
                                : nullptr;
            std::string_view text = s ? s : "";
            while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
            if (text.empty()) {
                cell = kMissing;
            } else {
                if (v.codes.size() >= kMaxTexts) {
                    r.failure = ImportError::Unreadable("variable " + v.name +
                                                        " holds too many different texts");
                    return READSTAT_HANDLER_ABORT;
                }
                r.scratch.assign(text);
                cell = TextCode(v, row, r.scratch);
            }
        } else if (v.temporal != TemporalKind::None) {
            cell = TextCode(v, row, TemporalText(r.kind, v.temporal, NumberOf(value)));
        } else {
            const float f = static_cast<float>(NumberOf(value));
            if (!std::isfinite(f)) {
                r.failure = ImportError::Of(Kind::NumberTooLarge, row + 2, index + 1);
                return READSTAT_HANDLER_ABORT;
            }
            cell = f;
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
    for (Variable& v : r.variables) {
        if (v.facts.kind != VariableKind::Numbers || v.labelSet.empty()) continue;
        const auto set = r.labelSets.find(v.labelSet);
        if (set == r.labelSets.end()) continue;
        std::vector<ValueLabel> labels;
        for (const ValueLabel& l : set->second) {
            const bool missing = std::any_of(v.missing.begin(), v.missing.end(), [&](auto m) {
                return l.code >= m.first && l.code <= m.second;
            });
            if (!missing) labels.push_back(l);
        }
        std::stable_sort(labels.begin(), labels.end(),
                         [](const ValueLabel& a, const ValueLabel& b) { return a.code < b.code; });
        labels.erase(
            std::unique(labels.begin(), labels.end(),
                        [](const ValueLabel& a, const ValueLabel& b) { return a.code == b.code; }),
            labels.end());
        if (labels.empty()) continue;
        v.facts.kind = VariableKind::LabelledNumbers;
        v.facts.labels = std::move(labels);
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

struct ParserFree {
    void operator()(readstat_parser_t* p) const { readstat_parser_free(p); }
};

// The file's size and first bytes; only a regular file will do, since a pipe or a device
// could block the import or never end.
Result<std::string, ImportError> FirstBytes(const std::string& path, std::int64_t& size) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return ImportError::Unreadable(errno);
    if (!S_ISREG(st.st_mode)) return ImportError::Unreadable("not a regular file");
    size = st.st_size;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return ImportError::Unreadable(errno);
    std::string bytes(kStatSniffBytes, '\0');
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
    std::fclose(f);
    return bytes;
}

Result<DataSet, ImportError> Read(const std::string& path, StatFileKind kind,
                                  std::int64_t fileBytes) {
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
    if (error != READSTAT_OK) return ImportError::Unreadable(readstat_error_message(error));

    AttachLabels(r);
    const auto columns = static_cast<std::int32_t>(r.variables.size());
    const auto cases = static_cast<std::int32_t>(r.cases);
    DataSet::Contents set;
    r.cells.resize(static_cast<std::size_t>(r.cases) * r.variables.size(), kMissing);
    set.matrix = DataMatrix(cases, columns, std::move(r.cells));
    set.cases = cases;
    set.variables = columns;
    const bool anyFacts = std::any_of(r.variables.begin(), r.variables.end(), [](auto& v) {
        return v.facts.kind != VariableKind::Numbers;
    });
    for (Variable& v : r.variables) {
        set.names.push_back(std::move(v.name));
        if (anyFacts) set.facts.push_back(std::move(v.facts));
    }
    return DataSet(std::move(set));
}

}  // namespace

Result<DataSet, ImportError> ReadStatisticsFile(const std::string& path) {
    std::int64_t size = 0;
    auto bytes = FirstBytes(path, size);
    if (!bytes) return bytes.error();
    const StatFileKind kind = SniffStatisticsFile(bytes.value(), path);
    if (kind == StatFileKind::None)
        return ImportError::Unreadable("not an SPSS, Stata or SAS data file");
    return ReadStatisticsFile(path, kind);
}

Result<DataSet, ImportError> ReadStatisticsFile(const std::string& path, StatFileKind kind) {
    std::int64_t size = 0;
    auto bytes = FirstBytes(path, size);
    if (!bytes) return bytes.error();
    try {
        return Read(path, kind, size);
    } catch (const std::bad_alloc&) {
        return ImportError::Of(Kind::OutOfMemory);
    } catch (const std::length_error&) {
        return ImportError::Of(Kind::OutOfMemory);
    }
}

}  // namespace corvane
