#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace corvane {

// Follows a delimited record line by line, as SplitField splits it: counts its fields and tells
// where it ends, which is at the first line end outside a quoted field. A quoted field may hold
// line ends (as every CSV writer puts a multi-line text in quotes), so a record may span lines.
class RecordScanner {
  public:
    explicit RecordScanner(char delimiter) : m_delimiter(delimiter) {}

    // Scans the next line of the record (the first after start()); true when the record ends
    // with it, false when the line ends inside a quoted field.
    bool line(std::string_view line);
    // Makes the next line scanned the first of a new record.
    void start() {
        m_fields = 0;
        m_inQuotes = false;
    }
    // Makes the next line scanned go on with a quoted field that began before it.
    void startInQuotes() {
        m_fields = 1;
        m_inQuotes = true;
    }

    // The record's fields so far: 0 for an empty line, else one more than its delimiters.
    std::int64_t fields() const { return m_fields; }
    // Where on the last line scanned the quoted field still open at its end began (its opening
    // quote); npos when it began on an earlier line or no field is open.
    std::size_t openedAt() const { return m_openedAt; }

  private:
    // Where the fields starting at `from` leave the line: true at the line's end.
    bool fieldsFrom(std::string_view line, std::size_t from);
    // Past a quoted field's closing quote at `at`: where the next field starts, or npos at the
    // line's end.
    std::size_t afterClosingQuote(std::string_view line, std::size_t at);

    char m_delimiter;
    std::int64_t m_fields = 0;
    bool m_inQuotes = false;
    std::size_t m_openedAt = std::string_view::npos;
};

}  // namespace corvane
