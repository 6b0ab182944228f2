#include "data/formats/sheets/XmlScanner.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "data/formats/sheets/XmlStream.h"

namespace corvane {

namespace {

// What a byte may be where the scanner looks at it without a second thought.
enum : std::uint8_t {
    kText = 1,    // itself in text: the characters from space on, the tab and the line feed
    kValue = 2,   // itself in an attribute value
    kMarkup = 4,  // itself inside a comment, instruction or CDATA section, none of their ends
    kStart = 8,   // may begin a name
    kName = 16,   // may continue a name
    kSpace = 32,  // white space
};

constexpr std::array<std::uint8_t, 256> MakeClasses() {
    std::array<std::uint8_t, 256> t{};
    for (int c = 0x20; c < 0x80; ++c) t[c] = kText | kValue | kMarkup;
    for (int c : {'<', '&'}) t[c] = kMarkup;
    for (int c : {'"', '\''}) t[c] = kText | kMarkup;
    t[']'] = kValue;
    for (int c : {'-', '?'}) t[c] = kText | kValue;
    for (int c : {'\t', '\n'}) t[c] = kText | kMarkup | kSpace;
    t['\r'] = kMarkup | kSpace;
    t[' '] |= kSpace;
    for (int c = 'a'; c <= 'z'; ++c) t[c] |= kStart | kName;
    for (int c = 'A'; c <= 'Z'; ++c) t[c] |= kStart | kName;
    for (int c : {'_', ':'}) t[c] |= kStart | kName;
    for (int c = '0'; c <= '9'; ++c) t[c] |= kName;
    for (int c : {'.', '-'}) t[c] |= kName;
    return t;
}
constexpr std::array<std::uint8_t, 256> kClasses = MakeClasses();

bool Is(const char* p, std::uint8_t what) {
    return (kClasses[static_cast<unsigned char>(*p)] & what) != 0;
}

const char* SkipSpace(const char* p, const char* end) {
    while (p < end && Is(p, kSpace)) ++p;
    return p;
}

std::int64_t CountLines(const char* p, const char* end) {
    std::int64_t n = 0;
    while (p < end && (p = static_cast<const char*>(std::memchr(p, '\n', end - p)))) {
        ++n;
        ++p;
    }
    return n;
}

// 1 when the bytes from `p` start with `literal`, 0 when they do not, -1 when they end before
// telling.
int StartsWith(const char* p, const char* end, std::string_view literal) {
    const auto n = std::min<std::size_t>(literal.size(), end - p);
    if (std::string_view(p, n) != literal.substr(0, n)) return 0;
    return n == literal.size() ? 1 : -1;
}

constexpr std::string_view kNonAscii =
    "names an element or attribute with letters beyond ASCII, which no spreadsheet's XML does";

}  // namespace

XmlPartParser::Status XmlScanner::feed(const char* data, std::size_t size, bool last) {
    if (m_outcome == Outcome::Failed) return Status::Failed;
    if (!m_pending.empty()) {
        m_pending.append(data, size);
        if (!last && m_pending.size() < m_wait) return Status::More;
        data = m_pending.data();
        size = m_pending.size();
    }
    m_begin = data;
    m_end = data + size;
    m_last = last;
    m_outcome = Outcome::Going;
    const char* stop = scan(data);
    if (m_outcome == Outcome::Failed) return Status::Failed;
    if (m_outcome == Outcome::Stopped) return m_handler.failure() ? Status::Failed : Status::Done;
    if (m_outcome == Outcome::Incomplete) stop = m_resume;
    m_lines += CountLines(data, stop);
    const auto rest = static_cast<std::size_t>(m_end - stop);
    if (rest > kMaxTokenBytes) {
        refuse(stop, "has a tag, comment or CDATA section of more than " +
                         std::to_string(kMaxTokenBytes >> 20) +
                         " MiB, which no spreadsheet's XML has");
        return Status::Failed;
    }
    if (data == m_pending.data())
        m_pending.erase(0, size - rest);
    else
        m_pending.assign(stop, rest);
    // A long token is looked at again once the bytes carried have doubled, or pass the bound.
    m_wait = std::min(2 * rest, kMaxTokenBytes + 1);
    if (!last) return Status::More;
    if (m_place != Place::Epilog) {
        failAt(m_end, XML_ERROR_NO_ELEMENTS);
        return Status::Failed;
    }
    return Status::Done;
}

ImportError XmlScanner::error(std::string_view part) const {
    if (m_handler.failure()) return *m_handler.failure();
    const std::string where = "the workbook part " + std::string(part);
    if (!m_refusal.empty())
        return ImportError::Unreadable(where + " at line " + std::to_string(m_errorLine) + " " +
                                       m_refusal);
    return ImportError::Unreadable(
        where + " is damaged: " + XML_ErrorString(static_cast<XML_Error>(m_errorCode)) +
        " at line " + std::to_string(m_errorLine));
}

const char* XmlScanner::scan(const char* p) {
    while (p < m_end) {
        if (*p == '<') {
            const char* next = markup(p);
            if (!next) {
                if (m_outcome == Outcome::Incomplete) m_resume = p;
                return p;
            }
            if (m_place < Place::Prolog) m_place = Place::Prolog;
            p = next;
        } else if (m_place == Place::Content) {
            p = text(p);
            if (!p) return m_resume;
        } else {
            const char* next = outside(p);
            if (!next) return p;
            p = next;
        }
    }
    return p;
}

// Before and after the root element: white space, and a byte-order mark first of all.
const char* XmlScanner::outside(const char* p) {
    if (m_place == Place::Start && static_cast<unsigned char>(*p) == 0xEF) {
        const int bom = StartsWith(p, m_end, "\xEF\xBB\xBF");
        if (bom < 0) return more(p);
        if (bom == 0) return failAt(p, XML_ERROR_INVALID_TOKEN);
        m_place = Place::Head;
        return p + 3;
    }
    const char* q = SkipSpace(p, m_end);
    if (q == p)
        return failAt(p, m_place == Place::Epilog ? XML_ERROR_JUNK_AFTER_DOC_ELEMENT
                                                  : XML_ERROR_INVALID_TOKEN);
    if (m_place < Place::Prolog) m_place = Place::Prolog;
    return q;
}

// Text inside the root element, handed on in runs; `p` when it stops at a '<'.
const char* XmlScanner::text(const char* p) {
    const char* run = p;
    for (;;) {
        while (p < m_end && Is(p, kText)) ++p;
        if (p == m_end || *p == '<') break;
        if (static_cast<unsigned char>(*p) >= 0x80) {
            const int n = character(p);
            if (n == 0) break;  // failed, or the piece ends inside the character
            p += n;
        } else if (*p == ']' && (m_end - p >= 3 ? p[1] != ']' || p[2] != '>' : m_last)) {
            ++p;  // a ']' that is not the end of a CDATA section, which text may not hold
        } else {
            break;
        }
    }
    if (m_outcome == Outcome::Failed) return nullptr;
    if (!emit(std::string_view(run, static_cast<std::size_t>(p - run))) ||
        m_outcome == Outcome::Incomplete)
        return nullptr;
    if (p == m_end || *p == '<') return p;
    if (*p == '&') {
        char bytes[4];
        int length = 0;
        const char* q = reference(p, bytes, length);
        return q && emit(std::string_view(bytes, static_cast<std::size_t>(length))) ? q : nullptr;
    }
    if (*p == '\r') {
        if (p + 1 == m_end && !m_last) return more(p);
        if (!emit("\n")) return nullptr;
        return p + 1 < m_end && p[1] == '\n' ? p + 2 : p + 1;
    }
    if (*p == ']' && m_end - p < 3) return more(p);
    return failAt(p, XML_ERROR_INVALID_TOKEN);  // "]]>", or a control character
}

const char* XmlScanner::markup(const char* p) {
    if (m_end - p < 2) return more(p);
    if (p[1] == '/') return endTag(p);
    if (p[1] == '?') return instruction(p);
    if (p[1] != '!') return startTag(p);
    const int commentStart = StartsWith(p, m_end, "<!--");
    if (commentStart > 0) return comment(p);
    const int cdataStart = StartsWith(p, m_end, "<![CDATA[");
    if (cdataStart > 0) return cdata(p);
    const int doctype = StartsWith(p, m_end, "<!DOCTYPE");
    if (doctype > 0) {
        if (p + 9 == m_end) return more(p);
        if (!Is(p + 9, kSpace) || m_place > Place::Prolog)
            return failAt(p, XML_ERROR_INVALID_TOKEN);
        m_handler.fail(ImportError::Unreadable(std::string(XmlStream::kDoctypeReason)));
        m_outcome = Outcome::Failed;
        return nullptr;
    }
    if (commentStart < 0 || cdataStart < 0 || doctype < 0) return more(p);
    return failAt(p, XML_ERROR_INVALID_TOKEN);
}

const char* XmlScanner::name(const char* p) {
    if (p == m_end) return more(p);
    if (!Is(p, kStart)) {
        if (static_cast<unsigned char>(*p) >= 0x80) return refuse(p, std::string(kNonAscii));
        return failAt(p, XML_ERROR_INVALID_TOKEN);
    }
    const char* q = p + 1;
    while (q < m_end && Is(q, kName)) ++q;
    if (q == m_end) return more(q);
    if (static_cast<unsigned char>(*q) >= 0x80) return refuse(q, std::string(kNonAscii));
    return q;
}

bool XmlScanner::emit(std::string_view text) {
    if (text.empty()) return true;
    m_handler.text(text);
    if (!m_handler.stopped()) return true;
    m_outcome = Outcome::Stopped;
    return false;
}

const char* XmlScanner::more(const char* at) {
    if (m_last) return failAt(at, XML_ERROR_UNCLOSED_TOKEN);
    m_outcome = Outcome::Incomplete;
    m_resume = at;
    return nullptr;
}

const char* XmlScanner::failAt(const char* at, int code) {
    m_outcome = Outcome::Failed;
    m_errorCode = code;
    m_errorLine = m_lines + CountLines(m_begin, at);
    return nullptr;
}

const char* XmlScanner::refuse(const char* at, std::string reason) {
    failAt(at, XML_ERROR_NONE);
    m_refusal = std::move(reason);
    return nullptr;
}

}  // namespace corvane
