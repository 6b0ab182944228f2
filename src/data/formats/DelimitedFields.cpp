#include "data/formats/DelimitedFields.h"

#include <algorithm>
#include <cstring>

#include "data/FieldClassifier.h"
#include "data/formats/TextDialect.h"

namespace corvane {

namespace {

bool IsAsciiLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Well-formed UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF) and no control
// characters: a name must show in a list and in JSON as it is.
bool IsPrintableUtf8(std::string_view s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const auto* end = p + s.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            if (c < 0x20 || c == 0x7f) return false;
            ++p;
            continue;
        }
        int more = 0;
        unsigned min = 0, code = 0;
        if (c >= 0xc2 && c <= 0xdf) {
            more = 1, min = 0x80, code = c & 0x1fu;
        } else if (c >= 0xe0 && c <= 0xef) {
            more = 2, min = 0x800, code = c & 0x0fu;
        } else if (c >= 0xf0 && c <= 0xf4) {
            more = 3, min = 0x10000, code = c & 0x07u;
        } else {
            return false;
        }
        if (end - p <= more) return false;
        for (int i = 1; i <= more; ++i) {
            if ((p[i] & 0xc0u) != 0x80u) return false;
            code = (code << 6) | (p[i] & 0x3fu);
        }
        if (code < min || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff)) return false;
        if (code >= 0x80 && code < 0xa0) return false;  // C1 controls
        p += more + 1;
    }
    return true;
}

bool IsInfinitySpelling(std::string_view s) {
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) s.remove_prefix(1);
    auto lower = [](std::string_view t) {
        std::string out(t);
        for (char& c : out) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        return out;
    };
    const std::string l = lower(s);
    return l == "inf" || l == "infinity";
}

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

bool HasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 && u != '\t' && u != '\n' && u != '\r';
    });
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
    if (f.malformed || f.text.empty() || f.text.size() > kMaxNameBytes) return false;
    if (ClassifyField(f.text).kind != FieldKind::Invalid) return false;
    if (!IsPrintableUtf8(windows1252 ? Windows1252ToUtf8(f.text) : std::string(f.text)))
        return false;
    if (f.quoted) return true;
    const auto c = static_cast<unsigned char>(f.text[0]);
    const bool wordStart =
        IsAsciiLetter(c) || c == '_' || c >= 0x80 ||
        (c == '.' && f.text.size() > 1 &&
         (IsAsciiLetter(static_cast<unsigned char>(f.text[1])) || f.text[1] == '_'));
    return wordStart && !IsInfinitySpelling(f.text);
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
