#include "data/formats/text/RecordScanner.h"

#include <algorithm>
#include <cstring>

#include "data/formats/text/DelimitedFields.h"

namespace corvane {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

std::size_t SkipSpaces(std::string_view line, std::size_t at) {
    while (at < line.size() && line[at] == ' ') ++at;
    return at;
}

}  // namespace

bool RecordScanner::line(std::string_view line) {
    m_openedAt = kNone;
    if (m_inQuotes) {
        const std::size_t end = ClosingQuoteEnd(line, 0);
        if (end == kNone) return false;
        m_inQuotes = false;
        const std::size_t next = afterClosingQuote(line, end);
        return next == kNone || fieldsFrom(line, next);
    }
    // Not inside quotes, so the line starts a record.
    if (line.empty()) {
        m_fields = 0;
        return true;
    }
    m_fields = 1;
    // The common line, without quotes: one field more than its delimiters.
    if (!std::memchr(line.data(), '"', line.size())) {
        m_fields += std::count(line.begin(), line.end(), m_delimiter);
        return true;
    }
    return fieldsFrom(line, 0);
}

bool RecordScanner::fieldsFrom(std::string_view line, std::size_t from) {
    const bool trim = TrimsSpaces(m_delimiter);
    for (std::size_t i = from;;) {
        const std::size_t open = trim ? SkipSpaces(line, i) : i;
        if (open < line.size() && line[open] == '"') {
            const std::size_t end = ClosingQuoteEnd(line, open + 1);
            if (end == kNone) {
                m_inQuotes = true;
                m_openedAt = open;
                return false;
            }
            i = afterClosingQuote(line, end);
            if (i == kNone) return true;
            continue;
        }
        const std::size_t d = line.find(m_delimiter, i);
        if (d == kNone) return true;
        ++m_fields;
        i = d + 1;
    }
}

std::size_t RecordScanner::afterClosingQuote(std::string_view line, std::size_t at) {
    if (TrimsSpaces(m_delimiter)) at = SkipSpaces(line, at);
    if (at == line.size()) return kNone;
    // Text after the closing quote makes the field malformed; it runs to the next delimiter.
    const std::size_t d = line[at] == m_delimiter ? at : line.find(m_delimiter, at);
    if (d == kNone) return kNone;
    ++m_fields;
    return d + 1;
}

}  // namespace corvane
