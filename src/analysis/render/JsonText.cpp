#include "analysis/render/JsonText.h"

#include "common/Single.h"
#include "common/Utf8Text.h"

namespace corvane {

std::string JsonString(const std::string& raw) {
    const std::string text = IsValidUtf8(raw) ? raw : Windows1252ToUtf8(raw);
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    static const char* hex = "0123456789abcdef";
                    out += "\\u00";
                    out += hex[(c >> 4) & 0xF];
                    out += hex[c & 0xF];
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::string JsonMissingOr(float x) { return IsMissing(x) ? "null" : JsonNumber(x); }

std::string JsonName(const std::string& name) { return name.empty() ? "null" : JsonString(name); }

std::string JsonObject::str() const {
    if (m_fields.empty()) return "{}";
    const std::string inner(static_cast<std::size_t>(m_indent + 2), ' ');
    std::string out = "{\n";
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        out += inner + JsonString(m_fields[i].first) + ": " + m_fields[i].second;
        out += i + 1 < m_fields.size() ? ",\n" : "\n";
    }
    return out + std::string(static_cast<std::size_t>(m_indent), ' ') + "}";
}

}  // namespace corvane
