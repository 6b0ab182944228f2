#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data/formats/text/LineReader.h"
#include "data/formats/text/RecordScanner.h"

namespace corvane {

// How the records of a range are made of its lines.
struct RecordSyntax {
    char delimiter = ' ';
    // Whether a quoted field may hold line ends; without, every line is a record (the range
    // holds none that spans lines, or the columns are aligned by spaces).
    bool spanLines = false;
    // The opening quote of a field never closed, whose record ends with the line it opens on
    // rather than run to the end of the file (-1: none).
    std::int64_t unclosedQuote = -1;
};

// Hands out the records of the bytes [begin, limit) of a file: a line, or with spanLines the
// lines up to the first line end outside a quoted field, with the line ends between them as
// the file has them.
class RecordReader {
  public:
    RecordReader(int fd, std::int64_t begin, std::int64_t limit, RecordSyntax syntax)
        : m_reader(fd, begin, limit), m_syntax(syntax), m_scanner(syntax.delimiter) {}

    // False at the end of the range or on a read error (see failed()).
    bool next(std::string_view& record) {
        if (m_syntax.spanLines) return nextSpanning(record);
        return m_reader.next(record);  // the common road: a line is a record
    }

    // The lines of the record last handed out.
    std::int64_t lines() const { return m_lines; }
    // Whether the last line handed out ran to the end of the range without a line end, or a
    // record to the range's end inside a quoted field.
    bool unterminated() const { return m_reader.unterminated() || m_open; }
    bool endsInCr() const { return m_reader.endsInCr(); }
    bool failed() const { return m_reader.failed(); }
    int error() const { return m_reader.error(); }

  private:
    bool nextSpanning(std::string_view& record);

    LineReader m_reader;
    RecordSyntax m_syntax;
    RecordScanner m_scanner;
    std::string m_record;
    std::int64_t m_lines = 1;
    bool m_open = false;
};

}  // namespace corvane
