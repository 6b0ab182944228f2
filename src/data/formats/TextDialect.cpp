#include "data/formats/TextDialect.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <map>

#include "data/FieldClassifier.h"
#include "data/formats/DelimitedFields.h"
#include "data/formats/OpenDataFile.h"

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

}  // namespace

Result<TextSample, ImportError> SampleTextFile(const std::string& path) {
    auto opened = OpenDataFile(path);
    if (!opened) return opened.error();
    std::FILE* f = opened.value().get();
    if (std::fseek(f, 0, SEEK_END) != 0) return ImportError::Unreadable(errno);
    const std::int64_t size = std::ftell(f);
    if (size < 0) return ImportError::Unreadable(errno);

    TextSample sample;
    auto readWindow = [&](std::int64_t begin, std::int64_t length) -> std::optional<ImportError> {
        std::string bytes(static_cast<std::size_t>(length), '\0');
        if (std::fseek(f, static_cast<long>(begin), SEEK_SET) != 0 ||
            std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
            return std::ferror(f) ? ImportError::Unreadable(errno)
                                  : ImportError::Of(ImportError::Kind::FileChanged);
        }
        AddLines(bytes, begin == 0, begin + length == size, sample.lines);
        return std::nullopt;
    };
    if (size <= 3 * kWindowBytes) {
        if (auto e = readWindow(0, size)) return *e;
        return sample;
    }
    for (const std::int64_t begin :
         {std::int64_t{0}, (size - kWindowBytes) / 2, size - kWindowBytes}) {
        if (auto e = readWindow(begin, kWindowBytes)) return *e;
    }
    return sample;
}

TextDialect SniffTextDialect(const TextSample& sample, char fallback) {
    TextDialect dialect;
    std::vector<std::string_view> lines(sample.lines.begin(), sample.lines.end());
    if (sample.fromStart && !lines.empty() && lines.front().starts_with(kByteOrderMark)) {
        dialect.encoding = TextEncoding::Utf8WithMark;
        lines.front().remove_prefix(kByteOrderMark.size());
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
    if (dialect.delimiter == 0) dialect.delimiter = fallback;
    dialect.decimalComma = dialect.delimiter != ',' && UsesDecimalComma(lines, dialect.delimiter);
    return dialect;
}

std::string DescribeTextDialect(const TextDialect& dialect) {
    std::string out;
    switch (dialect.delimiter) {
        case ',':
            out = "comma";
            break;
        case ';':
            out = "semicolon";
            break;
        case '\t':
            out = "tab";
            break;
        case ' ':
            out = "space";
            break;
        case '|':
            out = "bar";
            break;
        default:
            out = "single-column";
            break;
    }
    out += "-delimited text";
    if (dialect.decimalComma) out += ", decimal comma";
    if (dialect.encoding == TextEncoding::Windows1252) out += ", Windows-1252";
    return out;
}

}  // namespace corvane
