#include "data/formats/text/DelimitedFields.h"

#include <algorithm>
#include <cstring>

#include "data/FieldClassifier.h"
#include "data/VariableName.h"

namespace corvane {

namespace {

bool IsValueOrName(const Field& f) {
    if (f.malformed) return false;
    return ClassifyField(f.text).kind != FieldKind::Invalid || IsName(f);
}

}  // namespace

Field SplitField(std::string_view line, std::size_t start, char delimiter, std::string& scratch) {
    Field f;
    if (start >= line.size() || line[start] != '"') {
        f.stop = std::min(line.find(delimiter, start), line.size());
        f.text = line.substr(start, f.stop - start);
        return f;
    }
    f.quoted = true;
    std::size_t i = start + 1;
    bool doubled = false;
    for (;;) {
        const std::size_t q = line.find('"', i);
        if (q == std::string_view::npos) {  // never closed
            f.malformed = true;
            f.stop = line.size();
            f.text = line.substr(start);
            return f;
        }
        if (q + 1 < line.size() && line[q + 1] == '"') {
            doubled = true;
            i = q + 2;
            continue;
        }
        const std::size_t after = q + 1;
        if (after != line.size() && line[after] != delimiter) {
            f.malformed = true;
            f.stop = std::min(line.find(delimiter, after), line.size());
            f.text = line.substr(start, f.stop - start);
            return f;
        }
        f.stop = after;
        const std::string_view inner = line.substr(start + 1, q - start - 1);
        if (!doubled) {
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

std::int64_t CountFields(std::string_view line, char delimiter, std::int64_t limit) {
    if (line.empty()) return 0;
    std::int64_t count = 1;
    if (!std::memchr(line.data(), '"', line.size())) {
        for (char c : line) count += c == delimiter;
        return count;
    }
    std::string scratch;
    std::size_t start = 0;
    for (;;) {
        const Field f = SplitField(line, start, delimiter, scratch);
        if (f.stop == line.size() || count > limit) return count;
        ++count;
        start = f.stop + 1;
    }
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
