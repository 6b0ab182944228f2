#include "data/formats/text/RecordReader.h"

namespace corvane {

bool RecordReader::nextSpanning(std::string_view& record) {
    std::string_view line;
    m_open = false;
    if (!m_reader.next(line)) return false;
    m_lines = 1;
    record = line;
    // Whether the line holds the quote that is never closed: its record ends with it.
    const auto holdsUnclosed = [&] {
        const std::int64_t at = m_syntax.unclosedQuote - m_reader.lineStart();
        return at >= 0 && at < static_cast<std::int64_t>(line.size());
    };
    m_scanner.start();
    if (m_scanner.line(line) || holdsUnclosed()) return true;
    m_record.assign(line);
    for (;;) {
        if (!m_reader.next(line)) {
            m_open = !m_reader.failed();
            break;
        }
        ++m_lines;
        m_record += m_reader.endBefore();
        m_record += line;
        if (m_scanner.line(line) || holdsUnclosed()) break;
    }
    record = m_record;
    return true;
}

}  // namespace corvane
