#include "data/formats/text/TextDialect.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <map>

#include "data/FieldClassifier.h"
#include "data/OpenDataFile.h"
#include "data/formats/text/DelimitedFields.h"

namespace corvane {

namespace {

constexpr std::int64_t kWindowBytes = 64 * 1024;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Appends the lines of `bytes`; without `wholeStart` the text before the first line end is the
// tail of a line that began earlier, and without `wholeEnd` the text after the last is cut.
void AddLines(std::string_view bytes, bool wholeStart, bool wholeEnd,
              std::vector<std::string>& lines) {
    std::size_t at = 0;
    bool skip = !wholeStart;
    while (at < bytes.size()) {
        const std::size_t end = bytes.find_first_of("\r\n", at);
        if (end == std::string_view::npos) {
            if (wholeEnd && !skip) lines.emplace_back(bytes.substr(at));
            return;
        }
        if (!skip) lines.emplace_back(bytes.substr(at, end - at));
        skip = false;
        at = end + 1;
        if (bytes[end] == '\r' && at < bytes.size() && bytes[at] == '\n') ++at;
    }
}

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

// The sample's lines, the byte-order mark dropped from the first.
std::vector<std::string_view> SampleLines(const TextSample& sample) {
    std::vector<std::string_view> lines(sample.lines.begin(), sample.lines.end());
    if (sample.fromStart && !lines.empty() && lines.front().starts_with(kByteOrderMark))
        lines.front().remove_prefix(kByteOrderMark.size());
    return lines;
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

// The NUL bytes of the sampled windows, by the parity of their place in the file. UTF-16 text
// starts with its byte-order mark or, when it is mostly ASCII, holds a NUL in every other byte.
struct NulBytes {
    std::int64_t bytes = 0;
    std::int64_t atParity[2] = {0, 0};
    bool utf16Mark = false;

    void count(std::string_view window, std::int64_t offset) {
        if (offset == 0 && window.size() >= 2)
            utf16Mark = window.starts_with("\xFF\xFE") || window.starts_with("\xFE\xFF");
        bytes += std::ssize(window);
        for (std::size_t i = 0; i < window.size(); ++i)
            if (window[i] == '\0') ++atParity[(offset + static_cast<std::int64_t>(i)) & 1];
    }
    bool binary() const {
        const std::int64_t all = atParity[0] + atParity[1];
        if (all == 0 || utf16Mark) return false;
        const std::int64_t most = std::max(atParity[0], atParity[1]);
        const bool utf16Pattern = all * 4 >= bytes && most * 10 >= all * 9;
        return !utf16Pattern;
    }
};

}  // namespace

Result<TextSample, ImportError> SampleTextFile(const std::string& path) {
    auto opened = OpenDataFile(path);
    if (!opened) return opened.error();
    std::FILE* f = opened.value().get();
    if (std::fseek(f, 0, SEEK_END) != 0) return ImportError::Unreadable(errno);
    const std::int64_t size = std::ftell(f);
    if (size < 0) return ImportError::Unreadable(errno);

    TextSample sample;
    NulBytes nuls;
    auto readWindow = [&](std::int64_t begin, std::int64_t length) -> std::optional<ImportError> {
        std::string bytes(static_cast<std::size_t>(length), '\0');
        if (std::fseek(f, static_cast<long>(begin), SEEK_SET) != 0 ||
            std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
            return std::ferror(f) ? ImportError::Unreadable(errno)
                                  : ImportError::Of(ImportError::Kind::FileChanged);
        }
        nuls.count(bytes, begin);
        AddLines(bytes, begin == 0, begin + length == size, sample.lines);
        return std::nullopt;
    };
    if (size <= 3 * kWindowBytes) {
        if (auto e = readWindow(0, size)) return *e;
    } else {
        for (const std::int64_t begin :
             {std::int64_t{0}, (size - kWindowBytes) / 2, size - kWindowBytes}) {
            if (auto e = readWindow(begin, kWindowBytes)) return *e;
        }
    }
    sample.binary = nuls.binary();
    return sample;
}

std::string_view DialectLine(const TextDialect& dialect, std::string_view line,
                             std::string& buffer) {
    return dialect.alignedColumns ? AlignedLine(line, buffer) : line;
}

bool ReadsAlike(const TextSample& sample, const TextDialect& dialect) {
    std::vector<std::string_view> lines = SampleLines(sample);
    if (dialect.separatorLine && sample.fromStart && !lines.empty()) lines.erase(lines.begin());
    return LinesAlike(lines, dialect);
}

TextDialect SniffTextDialect(const TextSample& sample, char fallback) {
    TextDialect dialect;
    std::vector<std::string_view> lines = SampleLines(sample);
    if (sample.fromStart && !sample.lines.empty() &&
        std::string_view(sample.lines.front()).starts_with(kByteOrderMark)) {
        dialect.encoding = TextEncoding::Utf8WithMark;
    } else if (!std::all_of(lines.begin(), lines.end(), IsValidUtf8)) {
        dialect.encoding = TextEncoding::Windows1252;
    }

    if (sample.fromStart && !lines.empty()) {
        if (const char named = SeparatorLineDelimiter(lines.front())) {
            dialect.delimiter = named;
            dialect.separatorLine = true;
            lines.erase(lines.begin());
            dialect.decimalComma = named != ',' && UsesDecimalComma(lines, named);
            return dialect;
        }
    }

    Reading best;
    dialect.delimiter = 0;
    for (const char d : {',', ';', '\t', ' '}) {
        const Reading r = ReadAs(lines, d);
        if (r.fields >= 2 && (dialect.delimiter == 0 || Better(r, best))) {
            best = r;
            dialect.delimiter = d;
        }
    }
    // Runs of spaces read the file when none of the others does and single spaces do not.
    TextDialect aligned = dialect;
    aligned.delimiter = ' ';
    aligned.alignedColumns = true;
    std::vector<std::string> buffers;
    if (!(dialect.delimiter != 0 && dialect.delimiter != ' ' && LinesAlike(lines, dialect)) &&
        LinesAlike(lines, aligned) && !LinesAlike(lines, TextDialect{})) {
        dialect = aligned;
        lines = DialectLines(lines, aligned, buffers);
    }
    if (dialect.delimiter == 0) dialect.delimiter = fallback;
    dialect.decimalComma = dialect.delimiter != ',' && UsesDecimalComma(lines, dialect.delimiter);
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
            return "bar";
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
