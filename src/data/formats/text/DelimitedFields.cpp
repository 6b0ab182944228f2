#include "data/formats/text/DelimitedFields.h"

#include <algorithm>

#include "data/FieldClassifier.h"
#include "data/VariableName.h"
#include "data/formats/text/RecordScanner.h"

namespace corvane {

namespace {

bool IsValueOrName(const Field& f) {
    if (f.malformed) return false;
    return ClassifyField(f.text).kind != FieldKind::Invalid || IsName(f);
}

}  // namespace

Field SplitField(std::string_view line, std::size_t start, char delimiter, std::string& scratch) {
    Field f;
    const bool trim = TrimsSpaces(delimiter);
    std::size_t open = start;
    if (trim)
        while (open < line.size() && line[open] == ' ') ++open;
    if (open >= line.size() || line[open] != '"') {
        f.stop = std::min(line.find(delimiter, start), line.size());
        f.text = line.substr(open, f.stop - open);
        if (trim) f.text = f.text.substr(0, f.text.find_last_not_of(' ') + 1);
        return f;
    }
    f.quoted = true;
    const std::size_t end = ClosingQuoteEnd(line, open + 1);
    if (end == std::string_view::npos) {  // never closed
        f.malformed = true;
        f.stop = line.size();
        f.text = line.substr(start);
        return f;
    }
    std::size_t after = end;
    if (trim)
        while (after < line.size() && line[after] == ' ') ++after;
    if (after != line.size() && line[after] != delimiter) {
        f.malformed = true;
        f.stop = std::min(line.find(delimiter, after), line.size());
        f.text = line.substr(start, f.stop - start);
        return f;
    }
    f.stop = after;
    const std::string_view inner = line.substr(open + 1, end - open - 2);
    if (inner.find('"') == std::string_view::npos) {
        f.text = inner;
        return f;
    }
    scratch.clear();
    for (std::size_t k = 0; k < inner.size(); ++k) {
        scratch += inner[k];
        if (inner[k] == '"') ++k;  // the second quote of a pair
    }
    f.text = scratch;
    return f;
}

std::size_t ClosingQuoteEnd(std::string_view text, std::size_t from) {
    for (;;) {
        const std::size_t q = text.find('"', from);
        if (q == std::string_view::npos) return q;
        if (q + 1 == text.size() || text[q + 1] != '"') return q + 1;
        from = q + 2;  // a doubled quote stands for one
    }
}

std::string_view AlignedLine(std::string_view line, std::string& buffer) {
    const std::size_t first = line.find_first_not_of(' ');
    if (first == std::string_view::npos) return line.substr(0, 0);
    line = line.substr(first, line.find_last_not_of(' ') - first + 1);
    if (line.find("  ") == std::string_view::npos) return line;
    buffer.clear();
    std::size_t i = 0;
    for (;;) {
        // A quoted field keeps its spaces: it runs to its closing quote, then to the next space.
        std::size_t from = i;
        if (line[i] == '"') {
            for (from = i + 1;;) {
                const std::size_t q = line.find('"', from);
                if (q == std::string_view::npos) {
                    from = line.size();
                    break;
                }
                from = q + 1;
                if (from == line.size() || line[from] != '"') break;
                ++from;  // a doubled quote stands for one
            }
        }
        const std::size_t stop = std::min(line.find(' ', from), line.size());
        buffer.append(line.substr(i, stop - i));
        if (stop == line.size()) return buffer;
        buffer += ' ';
        i = line.find_first_not_of(' ', stop);
    }
}

std::int64_t CountFields(std::string_view record, char delimiter) {
    RecordScanner scanner(delimiter);
    scanner.line(record);  // a field never closed runs to the record's end
    return scanner.fields();
}

bool IsName(const Field& f, bool windows1252) {
    return !f.malformed && IsVariableName(f.text, f.quoted, windows1252);
}

std::optional<std::vector<std::string>> ReadNamesLine(std::string_view line, char delimiter,
                                                      std::int64_t maxFields, bool windows1252) {
    if (line.empty()) return std::nullopt;
    std::vector<std::string> names;
    bool anyName = false;
    std::string scratch;
    std::size_t start = 0;
    for (;;) {
        if (static_cast<std::int64_t>(names.size()) >= maxFields) return std::nullopt;
        const Field f = SplitField(line, start, delimiter, scratch);
        if (!f.malformed && f.text.empty()) {
            names.emplace_back();
        } else if (IsName(f, windows1252)) {
            names.emplace_back(f.text);
            anyName = true;
        } else {
            return std::nullopt;
        }
        if (f.stop == line.size()) break;
        start = f.stop + 1;
    }
    if (!anyName) return std::nullopt;
    return names;
}

char LikelyDelimiter(std::string_view line1, std::string_view line2, char chosen) {
    auto fieldsOf = [](std::string_view line, char delimiter) -> std::int64_t {
        if (line.empty()) return 0;
        std::string scratch;
        std::int64_t count = 0;
        std::size_t start = 0;
        for (;;) {
            const Field f = SplitField(line, start, delimiter, scratch);
            if (!IsValueOrName(f)) return -1;
            ++count;
            if (f.stop == line.size()) return count;
            start = f.stop + 1;
        }
    };
    for (char d : {',', '\t', ' '}) {
        if (d == chosen) continue;
        const std::int64_t n = fieldsOf(line1, d);
        if (n >= 2 && fieldsOf(line2, d) == n) return d;
    }
    return 0;
}

}  // namespace corvane
