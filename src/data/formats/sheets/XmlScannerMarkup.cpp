// XmlScanner's markup: tags, references, comments, instructions and CDATA sections. Each starts at
// its '<' or '&' and, when the piece ends before it does, is read again whole from there.
#include <expat.h>

#include <array>
#include <cstring>

#include "data/formats/sheets/XmlScanner.h"

namespace corvane {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool IsNameByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == ':' || c == '.' || c == '-';
}

const char* SkipSpace(const char* p, const char* end) {
    while (p < end && IsSpace(*p)) ++p;
    return p;
}

// The characters XML allows, as a reference may name them.
bool IsXmlCharacter(std::uint32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

int EncodeUtf8(std::uint32_t c, char (&out)[4]) {
    if (c < 0x80) {
        out[0] = static_cast<char>(c);
        return 1;
    }
    const int n = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    static constexpr unsigned char kLead[] = {0, 0, 0xC0, 0xE0, 0xF0};
    for (int i = n - 1; i > 0; --i) {
        out[i] = static_cast<char>(0x80 | (c & 0x3F));
        c >>= 6;
    }
    out[0] = static_cast<char>(kLead[n] | c);
    return n;
}

int Digit(char c, bool hex) {
    if (c >= '0' && c <= '9') return c - '0';
    if (hex && c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Whether a pseudo-attribute of the XML declaration has a value expat takes.
bool DeclarationValue(std::string_view key, std::string_view value) {
    if (key == "standalone") return value == "yes" || value == "no";
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool other = (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
        if (!letter && (!other || (key == "encoding" && i == 0))) return false;
    }
    return key == "version" || !value.empty();
}

}  // namespace

const char* XmlScanner::startTag(const char* p) {
    if (m_place == Place::Epilog) return failAt(p, XML_ERROR_JUNK_AFTER_DOC_ELEMENT);
    const char* q = name(p + 1);
    if (!q) return nullptr;
    const std::string_view qualified(p + 1, static_cast<std::size_t>(q - p - 1));
    m_attributes.clear();
    m_attributeStarts.clear();
    bool empty = false;
    for (;;) {
        const char* before = q;
        q = SkipSpace(q, m_end);
        if (q == m_end) return more(q);
        if (*q == '>') {
            ++q;
            break;
        }
        if (*q == '/') {
            if (q + 1 == m_end) return more(q);
            if (q[1] != '>') return failAt(q, XML_ERROR_INVALID_TOKEN);
            q += 2;
            empty = true;
            break;
        }
        if (q == before) return failAt(q, XML_ERROR_INVALID_TOKEN);
        q = attribute(q);
        if (!q) return nullptr;
    }
    m_attributePointers.clear();
    for (const std::size_t start : m_attributeStarts)
        m_attributePointers.push_back(m_attributes.data() + start);
    m_attributePointers.push_back(nullptr);
    return push(qualified, empty) ? q : nullptr;
}

// One attribute, its name and value kept with a null after each; the position after it.
const char* XmlScanner::attribute(const char* p) {
    const char* q = name(p);
    if (!q) return nullptr;
    const std::string_view key(p, static_cast<std::size_t>(q - p));
    q = SkipSpace(q, m_end);
    if (q == m_end) return more(q);
    if (*q != '=') return failAt(q, XML_ERROR_INVALID_TOKEN);
    q = SkipSpace(q + 1, m_end);
    if (q == m_end) return more(q);
    if (*q != '"' && *q != '\'') return failAt(q, XML_ERROR_INVALID_TOKEN);
    for (std::size_t i = 0; i < m_attributeStarts.size(); i += 2) {
        const std::size_t from = m_attributeStarts[i], length = m_attributeStarts[i + 1] - from - 1;
        if (key == std::string_view(m_attributes.data() + from, length))
            return failAt(p, XML_ERROR_DUPLICATE_ATTRIBUTE);
    }
    m_attributeStarts.push_back(m_attributes.size());
    m_attributes.append(key);
    m_attributes.push_back('\0');
    m_attributeStarts.push_back(m_attributes.size());
    const char quote = *q++;
    if (!attributeValue(q, quote)) return nullptr;
    m_attributes.push_back('\0');
    return q;
}

// An attribute value up to its closing quote, as expat normalizes it: each tab, line end or
// carriage return and line feed a space, references resolved.
bool XmlScanner::attributeValue(const char*& q, char quote) {
    for (;;) {
        const char* run = q;
        while (q < m_end && *q != quote && static_cast<unsigned char>(*q) >= 0x20 &&
               static_cast<unsigned char>(*q) < 0x80 && *q != '<' && *q != '&')
            ++q;
        m_attributes.append(run, q);
        if (q == m_end) {
            more(q);
            return false;
        }
        const auto c = static_cast<unsigned char>(*q);
        if (c == static_cast<unsigned char>(quote)) {
            ++q;
            return true;
        }
        if (c == '\t' || c == '\n' || c == '\r') {
            if (c == '\r' && q + 1 == m_end) {
                more(q);
                return false;
            }
            m_attributes.push_back(' ');
            q += c == '\r' && q[1] == '\n' ? 2 : 1;
        } else if (c == '&') {
            char bytes[4];
            int length = 0;
            q = reference(q, bytes, length);
            if (!q) return false;
            m_attributes.append(bytes, static_cast<std::size_t>(length));
        } else if (c >= 0x80) {
            const int n = character(q);
            if (n == 0) return false;
            m_attributes.append(q, static_cast<std::size_t>(n));
            q += n;
        } else {
            failAt(q, XML_ERROR_INVALID_TOKEN);  // '<' or a control character
            return false;
        }
    }
}

bool XmlScanner::push(std::string_view qualified, bool empty) {
    m_place = Place::Content;
    const std::string_view local = XmlHandler::LocalName(qualified);
    m_handler.start(local, m_attributePointers.data());
    // expat calls the end handler of an empty element even when the start handler stopped it.
    if (empty) {
        m_handler.end(local);
        if (m_nameEnds.empty()) m_place = Place::Epilog;
    } else {
        m_names.append(qualified);
        m_nameEnds.push_back(m_names.size());
    }
    if (!m_handler.stopped()) return true;
    m_outcome = Outcome::Stopped;
    return false;
}

const char* XmlScanner::endTag(const char* p) {
    const char* q = name(p + 2);
    if (!q) return nullptr;
    const std::string_view qualified(p + 2, static_cast<std::size_t>(q - p - 2));
    q = SkipSpace(q, m_end);
    if (q == m_end) return more(q);
    if (*q != '>') return failAt(q, XML_ERROR_INVALID_TOKEN);
    if (m_nameEnds.empty())
        return failAt(p, m_place == Place::Epilog ? XML_ERROR_JUNK_AFTER_DOC_ELEMENT
                                                  : XML_ERROR_INVALID_TOKEN);
    const std::size_t from = m_nameEnds.size() > 1 ? m_nameEnds[m_nameEnds.size() - 2] : 0;
    if (std::string_view(m_names).substr(from) != qualified)
        return failAt(p, XML_ERROR_TAG_MISMATCH);
    m_names.resize(from);
    m_nameEnds.pop_back();
    if (m_nameEnds.empty()) m_place = Place::Epilog;
    m_handler.end(XmlHandler::LocalName(qualified));
    if (!m_handler.stopped()) return q + 1;
    m_outcome = Outcome::Stopped;
    return nullptr;
}

const char* XmlScanner::reference(const char* p, char (&out)[4], int& length) {
    const char* q = p + 1;
    if (q < m_end && *q == '#') {
        const bool hex = q + 1 < m_end && q[1] == 'x';
        q += hex ? 2 : 1;
        const char* digits = q;
        std::uint32_t value = 0;
        for (int d; q < m_end && (d = Digit(*q, hex)) >= 0; ++q)
            if (value <= 0x10FFFF) value = value * (hex ? 16 : 10) + static_cast<std::uint32_t>(d);
        if (q == m_end) return more(p);
        if (q == digits || *q != ';') return failAt(q, XML_ERROR_INVALID_TOKEN);
        if (!IsXmlCharacter(value)) return failAt(p, XML_ERROR_BAD_CHAR_REF);
        length = EncodeUtf8(value, out);
        return q + 1;
    }
    const char* e = q;
    while (e < m_end && IsNameByte(*e)) ++e;
    if (e == m_end) return more(p);
    if (e == q || *e != ';' || (*q >= '0' && *q <= '9') || *q == '.' || *q == '-')
        return failAt(e, XML_ERROR_INVALID_TOKEN);
    static constexpr std::array<std::pair<std::string_view, char>, 5> kEntities = {
        {{"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}}};
    const std::string_view entity(q, static_cast<std::size_t>(e - q));
    for (const auto& [name, character] : kEntities) {
        if (entity == name) {
            out[0] = character;
            length = 1;
            return e + 1;
        }
    }
    return failAt(p, XML_ERROR_UNDEFINED_ENTITY);
}

int XmlScanner::character(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    int n = 0;
    unsigned char low = 0x80, high = 0xBF;  // the bounds of the second byte
    if (u[0] >= 0xC2 && u[0] <= 0xDF) {
        n = 2;
    } else if (u[0] >= 0xE0 && u[0] <= 0xEF) {
        n = 3;
        low = u[0] == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
        high = u[0] == 0xED ? 0x9F : 0xBF;  // no surrogates
    } else if (u[0] >= 0xF0 && u[0] <= 0xF4) {
        n = 4;
        low = u[0] == 0xF0 ? 0x90 : 0x80;
        high = u[0] == 0xF4 ? 0x8F : 0xBF;  // nothing past U+10FFFF
    }
    if (n > 0 && m_end - p < n) {
        more(p);
        return 0;
    }
    bool valid = n > 0 && u[1] >= low && u[1] <= high;
    for (int i = 2; valid && i < n; ++i) valid = (u[i] & 0xC0) == 0x80;
    if (!valid || (u[0] == 0xEF && u[1] == 0xBF && u[2] >= 0xBE)) {  // U+FFFE, U+FFFF
        failAt(p, XML_ERROR_INVALID_TOKEN);
        return 0;
    }
    return n;
}

const char* XmlScanner::body(const char* q, char stop) {
    for (;;) {
        while (q < m_end && *q != stop &&
               ((static_cast<unsigned char>(*q) >= 0x20 && static_cast<unsigned char>(*q) < 0x80) ||
                IsSpace(*q)))
            ++q;
        if (q == m_end) return more(q);
        if (*q == stop) return q;
        const int n = character(q);
        if (n == 0) return nullptr;
        q += n;
    }
}

const char* XmlScanner::comment(const char* p) {
    const char* q = p + 4;
    for (;;) {
        q = body(q, '-');
        if (!q) return nullptr;
        if (m_end - q < 3) return more(q);
        if (q[1] == '-') return q[2] == '>' ? q + 3 : failAt(q, XML_ERROR_INVALID_TOKEN);
        ++q;
    }
}

const char* XmlScanner::instruction(const char* p) {
    const char* q = name(p + 2);
    if (!q) return nullptr;
    const std::string_view target(p + 2, static_cast<std::size_t>(q - p - 2));
    if (target == "xml") {
        if (m_place > Place::Head) return failAt(p, XML_ERROR_MISPLACED_XML_PI);
        return declaration(q);
    }
    if (target.size() == 3 && (target[0] | 0x20) == 'x' && (target[1] | 0x20) == 'm' &&
        (target[2] | 0x20) == 'l')
        return failAt(p, XML_ERROR_INVALID_TOKEN);  // the name is reserved in every case
    if (*q == '?') {
        if (q + 1 == m_end) return more(q);
        return q[1] == '>' ? q + 2 : failAt(q, XML_ERROR_INVALID_TOKEN);
    }
    if (!IsSpace(*q)) return failAt(q, XML_ERROR_INVALID_TOKEN);
    for (;;) {
        q = body(q, '?');
        if (!q) return nullptr;
        if (q + 1 == m_end) return more(q);
        if (q[1] == '>') return q + 2;
        ++q;
    }
}

// The XML declaration from after its "xml": version, then encoding and standalone if at all.
const char* XmlScanner::declaration(const char* q) {
    static constexpr std::string_view kKeys[] = {"version", "encoding", "standalone"};
    std::size_t next = 0;
    for (;;) {
        const char* before = q;
        q = SkipSpace(q, m_end);
        if (q == m_end) return more(q);
        if (*q == '?') {
            if (q + 1 == m_end) return more(q);
            return q[1] == '>' && next > 0 ? q + 2 : failAt(q, XML_ERROR_XML_DECL);
        }
        const char* e = q;
        while (e < m_end && IsNameByte(*e)) ++e;
        if (e == m_end) return more(e);
        std::size_t key = next;
        while (key < std::size(kKeys) && kKeys[key] != std::string_view(q, e - q)) ++key;
        if (q == before || key == std::size(kKeys) || (next == 0 && key != 0))
            return failAt(q, XML_ERROR_XML_DECL);
        next = key + 1;
        q = SkipSpace(e, m_end);
        if (q == m_end) return more(q);
        if (*q != '=') return failAt(q, XML_ERROR_XML_DECL);
        q = SkipSpace(q + 1, m_end);
        if (q == m_end) return more(q);
        const char quote = *q;
        if (quote != '"' && quote != '\'') return failAt(q, XML_ERROR_XML_DECL);
        const char* close = static_cast<const char*>(std::memchr(q + 1, quote, m_end - q - 1));
        if (!close) return more(q);
        if (!DeclarationValue(kKeys[key], std::string_view(q + 1, close - q - 1)))
            return failAt(q, XML_ERROR_XML_DECL);
        q = close + 1;
    }
}

const char* XmlScanner::cdata(const char* p) {
    if (m_place != Place::Content)
        return failAt(
            p, m_place == Place::Epilog ? XML_ERROR_JUNK_AFTER_DOC_ELEMENT : XML_ERROR_SYNTAX);
    const char* start = p + 9;
    const char* q = start;
    for (;;) {
        q = body(q, ']');
        if (!q) return nullptr;
        if (m_end - q < 3) return more(q);
        if (q[1] == ']' && q[2] == '>') break;
        ++q;
    }
    // Line ends as everywhere: a carriage return, with a line feed after it or not, is a line feed.
    std::string_view content(start, static_cast<std::size_t>(q - start));
    if (content.find('\r') != std::string_view::npos) {
        m_scratch.clear();
        for (std::size_t i = 0; i < content.size(); ++i) {
            m_scratch.push_back(content[i] == '\r' ? '\n' : content[i]);
            if (content[i] == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ++i;
        }
        content = m_scratch;
    }
    return emit(content) ? q + 3 : nullptr;
}

}  // namespace corvane
