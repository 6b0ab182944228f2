#include "data/VariableName.h"

#include <string>

#include "common/Utf8Text.h"
#include "data/FieldClassifier.h"

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

}  // namespace

bool IsVariableName(std::string_view text, bool quoted, bool windows1252) {
    if (text.empty() || text.size() > kMaxNameBytes) return false;
    if (ClassifyField(text).kind != FieldKind::Invalid) return false;
    if (!IsPrintableUtf8(windows1252 ? Windows1252ToUtf8(text) : std::string(text))) return false;
    if (quoted) return true;
    const auto c = static_cast<unsigned char>(text[0]);
    const bool wordStart = IsAsciiLetter(c) || c == '_' || c >= 0x80 ||
                           (c == '.' && text.size() > 1 &&
                            (IsAsciiLetter(static_cast<unsigned char>(text[1])) || text[1] == '_'));
    return wordStart && !IsInfinitySpelling(text);
}

}  // namespace corvane
