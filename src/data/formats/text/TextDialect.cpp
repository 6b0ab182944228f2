#include "data/formats/text/TextDialect.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <optional>
#include <utility>

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

// The sample's records under each delimiter, each read once.
class RecordsCache {
  public:
    explicit RecordsCache(const TextSample& sample) : m_sample(sample) {}
    const SampleRecords& of(char delimiter, bool spanLines = true) {
        std::optional<SampleRecords>& slot = m_records[{delimiter, spanLines}];
        if (!slot) slot = RecordsOf(m_sample, delimiter, spanLines);
        return *slot;
    }
    // The records past the first `lines` lines, which end a record.
    std::vector<std::string_view> after(char delimiter, std::int64_t lines) {
        const SampleRecords& r = of(delimiter);
        std::size_t first = 0;
        for (std::int64_t n = 0; first < r.lines.size() && n < lines; ++first) n += r.lines[first];
        return {r.text.begin() + static_cast<std::ptrdiff_t>(first), r.text.end()};
    }

  private:
    const TextSample& m_sample;
    std::map<std::pair<char, bool>, std::optional<SampleRecords>> m_records;
};

// Whether any line of the sample holds the character.
bool Holds(const TextSample& sample, char c) {
    return std::any_of(sample.lines.begin(), sample.lines.end(),
                       [c](const std::string& line) { return line.find(c) != std::string::npos; });
}

// The delimiter that reads the sample's records best (0 when none splits any), and its reading.
// One absent from the sample splits nothing.
char BestDelimiter(const TextSample& sample, RecordsCache& records, Reading& best) {
    char found = 0;
    for (const char d : {',', ';', '\t', ' ', '|'}) {
        if (!Holds(sample, d)) continue;
        const Reading r = ReadAs(records.of(d).views(), d);
        if (r.fields >= 2 && (found == 0 || Better(r, best))) {
            best = r;
            found = d;
        }
    }
    return found;
}

// Runs of spaces read the file when none of the other delimiters does and single spaces do not.
bool AlignedBySpaces(RecordsCache& records, const TextDialect& found) {
    TextDialect aligned = found;
    aligned.delimiter = ' ';
    aligned.alignedColumns = true;
    const char d = found.delimiter;
    return !(d != 0 && d != ' ' && LinesAlike(records.of(d).views(), found)) &&
           LinesAlike(records.of(' ', false).views(), aligned) &&
           !LinesAlike(records.of(' ').views(), TextDialect{});
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
    RecordsCache records(sample);
    dialect.delimiter = BestDelimiter(sample, records, best);
    if (AlignedBySpaces(records, dialect)) {
        dialect.delimiter = ' ';
        dialect.alignedColumns = true;
        std::vector<std::string> buffers;
        const auto shaped = DialectLines(records.of(' ', false).views(), dialect, buffers);
        dialect.decimalComma = UsesDecimalComma(shaped, ' ');
        return dialect;
    }
    const char d = dialect.delimiter == 0 ? fallback : dialect.delimiter;
    if (dialect.delimiter != 0 && sample.fromStart) {
        dialect.notesLines = NotesLines(records.of(d), d, best.fields,
                                        dialect.encoding == TextEncoding::Windows1252);
    }
    dialect.delimiter = d;
    dialect.decimalComma = d != ',' && UsesDecimalComma(records.after(d, dialect.notesLines), d);
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
    if (dialect.encoding == TextEncoding::Utf16Le) out += ", UTF-16LE";
    if (dialect.encoding == TextEncoding::Utf16Be) out += ", UTF-16BE";
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
