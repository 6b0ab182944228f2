#include "data/formats/text/TextDialect.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>

#include "data/FieldClassifier.h"
#include "data/formats/text/DelimitedFields.h"
#include "data/formats/text/NotesLines.h"

namespace corvane {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

struct Reading {
    std::int64_t consistentLines = 0;  // lines with the most common count of fields
    std::int64_t fields = 0;           // that count
    std::int64_t numbers = 0;          // fields that read as numbers or missing values
};

// A field that reads as a number only with its comma standing for the point.
bool ReadsWithDecimalComma(std::string_view text) {
    return text.find(',') != std::string_view::npos &&
           ClassifyDecimalCommaField(text).kind == FieldKind::Number;
}

bool IsNumberOrMissing(std::string_view text, bool decimalComma) {
    if (ClassifyField(text).kind != FieldKind::Invalid) return true;
    return decimalComma && ReadsWithDecimalComma(text);
}

// Calls `visit` with each field of a nonempty line; false when a quoted field is malformed.
template <class Visit>
bool EachField(std::string_view line, char delimiter, std::string& scratch, Visit&& visit) {
    std::size_t start = 0;
    for (;;) {
        const Field f = SplitField(line, start, delimiter, scratch);
        if (f.malformed) return false;
        visit(f.text);
        if (f.stop >= line.size()) return true;
        start = f.stop + 1;
    }
}

Reading ReadAs(const std::vector<std::string_view>& lines, char delimiter) {
    std::map<std::int64_t, std::int64_t> linesWithCount;
    std::map<std::int64_t, std::int64_t> numbersWithCount;
    std::string scratch;
    const bool decimalComma = delimiter != ',';
    for (const std::string_view line : lines) {
        if (line.empty()) continue;
        std::int64_t fields = 0;
        std::int64_t numbers = 0;
        const bool wellFormed = EachField(line, delimiter, scratch, [&](std::string_view text) {
            ++fields;
            if (IsNumberOrMissing(text, decimalComma)) ++numbers;
        });
        if (!wellFormed) continue;
        ++linesWithCount[fields];
        numbersWithCount[fields] += numbers;
    }
    Reading best;
    for (const auto& [fields, count] : linesWithCount) {
        if (count >= best.consistentLines) best = {count, fields, numbersWithCount[fields]};
    }
    return best;
}

// The nonempty lines, each as the dialect splits it.
std::vector<std::string_view> DialectLines(const std::vector<std::string_view>& lines,
                                           const TextDialect& dialect,
                                           std::vector<std::string>& buffers) {
    buffers.resize(lines.size());
    std::vector<std::string_view> out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = DialectLine(dialect, lines[i], buffers[i]);
        if (!line.empty()) out.push_back(line);
    }
    return out;
}

// Every nonempty line well-formed and split into one and the same count of at least two fields.
bool LinesAlike(const std::vector<std::string_view>& lines, const TextDialect& dialect) {
    std::vector<std::string> buffers;
    const std::vector<std::string_view> shaped = DialectLines(lines, dialect, buffers);
    std::string scratch;
    std::int64_t expected = -1;
    for (const std::string_view line : shaped) {
        std::int64_t fields = 0;
        if (!EachField(line, dialect.delimiter, scratch, [&](std::string_view) { ++fields; }))
            return false;
        if (expected >= 0 && fields != expected) return false;
        expected = fields;
    }
    return expected >= 2;
}

bool Better(const Reading& a, const Reading& b) {
    if (a.consistentLines != b.consistentLines) return a.consistentLines > b.consistentLines;
    return a.numbers > b.numbers;
}

// Whether numbers in the sample are written with a decimal comma: some field reads as a number
// only that way, and none reads as a number with a decimal point.
bool UsesDecimalComma(const std::vector<std::string_view>& lines, char delimiter) {
    bool commaNumbers = false;
    std::string scratch;
    for (const std::string_view line : lines) {
        bool pointNumber = false;
        EachField(line, delimiter, scratch, [&](std::string_view text) {
            if (ReadsWithDecimalComma(text)) commaNumbers = true;
            if (text.find('.') != std::string_view::npos && ReadWhole(text)) pointNumber = true;
        });
        if (pointNumber) return false;
    }
    return commaNumbers;
}

// Excel writes "sep=;" as the first line of a file when the delimiter is not the usual one.
char SeparatorLineDelimiter(std::string_view line) {
    if (line.size() != 5) return 0;
    std::string head(line.substr(0, 4));
    std::transform(head.begin(), head.end(), head.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (head != "sep=") return 0;
    const char d = line[4];
    return d == ',' || d == ';' || d == '\t' || d == ' ' || d == '|' ? d : 0;
}

TextEncoding EncodingOf(const TextSample& sample) {
    const std::vector<std::string_view> lines = SampleLines(sample);
    if (sample.fromStart && !sample.lines.empty() &&
        std::string_view(sample.lines.front()).starts_with(kByteOrderMark))
        return TextEncoding::Utf8WithMark;
    if (!std::all_of(lines.begin(), lines.end(), IsValidUtf8)) return TextEncoding::Windows1252;
    return TextEncoding::Utf8;
}

// The delimiter that reads the sample's records best (0 when none splits any), and its reading.
char BestDelimiter(const TextSample& sample, Reading& best) {
    char found = 0;
    for (const char d : {',', ';', '\t', ' ', '|'}) {
        const Reading r = ReadAs(RecordsOf(sample, d, true).views(), d);
        if (r.fields >= 2 && (found == 0 || Better(r, best))) {
            best = r;
            found = d;
        }
    }
    return found;
}

// Runs of spaces read the file when none of the other delimiters does and single spaces do not.
bool AlignedBySpaces(const TextSample& sample, const TextDialect& found) {
    TextDialect aligned = found;
    aligned.delimiter = ' ';
    aligned.alignedColumns = true;
    const char d = found.delimiter;
    return !(d != 0 && d != ' ' && LinesAlike(RecordsOf(sample, d, true).views(), found)) &&
           LinesAlike(RecordsOf(sample, ' ', false).views(), aligned) &&
           !LinesAlike(RecordsOf(sample, ' ', true).views(), TextDialect{});
}

}  // namespace

std::string_view DialectLine(const TextDialect& dialect, std::string_view line,
                             std::string& buffer) {
    return dialect.alignedColumns ? AlignedLine(line, buffer) : line;
}

bool ReadsAlike(const TextSample& sample, const TextDialect& dialect) {
    const std::size_t skip = sample.fromStart ? static_cast<std::size_t>(SkippedLines(dialect)) : 0;
    const SampleRecords records =
        RecordsOf(sample, dialect.delimiter, !dialect.alignedColumns, skip);
    return LinesAlike(records.views(), dialect);
}

TextDialect SniffTextDialect(const TextSample& sample, char fallback) {
    TextDialect dialect;
    dialect.encoding = EncodingOf(sample);
    const std::vector<std::string_view> lines = SampleLines(sample);
    if (sample.fromStart && !lines.empty()) {
        if (const char named = SeparatorLineDelimiter(lines.front())) {
            dialect.delimiter = named;
            dialect.separatorLine = true;
            dialect.decimalComma =
                named != ',' && UsesDecimalComma(RecordsOf(sample, named, true, 1).views(), named);
            return dialect;
        }
    }
    Reading best;
    dialect.delimiter = BestDelimiter(sample, best);
    if (AlignedBySpaces(sample, dialect)) {
        dialect.delimiter = ' ';
        dialect.alignedColumns = true;
        std::vector<std::string> buffers;
        const auto shaped = DialectLines(RecordsOf(sample, ' ', false).views(), dialect, buffers);
        dialect.decimalComma = UsesDecimalComma(shaped, ' ');
        return dialect;
    }
    if (dialect.delimiter == 0) {
        dialect.delimiter = fallback;
    } else if (sample.fromStart) {
        dialect.notesLines =
            NotesLines(RecordsOf(sample, dialect.delimiter, true), dialect.delimiter, best.fields,
                       dialect.encoding == TextEncoding::Windows1252);
    }
    const SampleRecords records =
        RecordsOf(sample, dialect.delimiter, true, static_cast<std::size_t>(dialect.notesLines));
    dialect.decimalComma =
        dialect.delimiter != ',' && UsesDecimalComma(records.views(), dialect.delimiter);
    return dialect;
}

namespace {

const char* DelimiterName(char delimiter) {
    switch (delimiter) {
        case ',':
            return "comma";
        case ';':
            return "semicolon";
        case '\t':
            return "tab";
        case ' ':
            return "space";
        case '|':
            return "pipe";
        default:
            return "single-column";
    }
}

}  // namespace

std::string DescribeTextDialect(const TextDialect& dialect) {
    std::string out = dialect.alignedColumns
                          ? std::string("columns aligned by spaces")
                          : std::string(DelimiterName(dialect.delimiter)) + "-delimited text";
    if (dialect.decimalComma) out += ", decimal comma";
    if (dialect.encoding == TextEncoding::Windows1252) out += ", Windows-1252";
    if (dialect.notesLines == 1) out += ", the first line (notes) skipped";
    if (dialect.notesLines > 1)
        out += ", the first " + std::to_string(dialect.notesLines) + " lines (notes) skipped";
    return out;
}

std::string DescribeTextLayout(const TextDialect& dialect) {
    std::string out = dialect.alignedColumns
                          ? std::string("aligned by spaces")
                          : std::string(DelimiterName(dialect.delimiter)) + "-delimited";
    if (dialect.decimalComma) out += " with decimal commas";
    return out;
}

}  // namespace corvane
