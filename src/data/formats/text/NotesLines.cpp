#include "data/formats/text/NotesLines.h"

#include <string>
#include <string_view>
#include <vector>

#include "data/DataMatrix.h"
#include "data/FieldClassifier.h"
#include "data/formats/text/DelimitedFields.h"

namespace corvane {

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// The record's count of fields, or -1 when one is malformed.
std::int64_t WellFormedFields(std::string_view record, char delimiter, std::string& scratch) {
    if (record.empty()) return 0;
    std::int64_t fields = 0;
    for (std::size_t start = 0;;) {
        const Field f = SplitField(record, start, delimiter, scratch);
        if (f.malformed) return -1;
        ++fields;
        if (f.stop >= record.size()) return fields;
        start = f.stop + 1;
    }
}

// A nonempty note: fewer fields than the table, the first neither a number nor missing.
bool IsNote(std::string_view record, char delimiter, std::int64_t tableFields,
            std::string& scratch) {
    if (record.empty()) return true;
    if (CountFields(record, delimiter) >= tableFields) return false;
    const std::string_view first = SplitField(record, 0, delimiter, scratch).text;
    return ClassifyField(first).kind == FieldKind::Invalid &&
           ClassifyDecimalCommaField(first).kind == FieldKind::Invalid;
}

}  // namespace

std::int64_t NotesLines(const SampleRecords& records, char delimiter, std::int64_t fields,
                        bool windows1252) {
    const std::vector<std::string_view> text = records.views();
    std::string scratch;
    // The last record not of the table's shape: the table starts past it.
    std::size_t odd = kNone;
    for (std::size_t i = text.size(); i-- > 0 && odd == kNone;)
        if (!text[i].empty() && WellFormedFields(text[i], delimiter, scratch) != fields) odd = i;
    if (odd == kNone) return 0;
    std::size_t start = odd + 1;
    while (start < text.size() && text[start].empty()) ++start;
    if (start >= records.fromStart) return 0;
    auto names = [&](std::size_t i) {
        return ReadNamesLine(text[i], delimiter, DataMatrix::kMaxVariables, windows1252)
            .has_value();
    };
    if (start == odd + 1 && CountFields(text[odd], delimiter) == fields - 1 && names(odd) &&
        !names(start))
        start = odd;
    std::int64_t lines = 0;
    for (std::size_t i = 0; i < start; ++i) {
        if (!IsNote(text[i], delimiter, fields, scratch)) return 0;
        lines += records.lines[i];
    }
    return lines;
}

}  // namespace corvane
