#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// Reads the bytes [begin, limit) of a file (to its end when limit is negative) in large
// blocks and hands out its lines. A line ends at CR LF, a lone CR or a lone LF; the end is not
// part of the line, and the last line need not have one. Lines are views into the block, or
// into a carry buffer when a line spans two blocks. Reads with pread, so several readers can
// share one descriptor.
class LineReader {
  public:
    LineReader(int fd, std::int64_t begin, std::int64_t limit);

    // False at the end of the range or on a read error (see failed()).
    bool next(std::string_view& line);

    // Where the line last handed out starts in the file.
    std::int64_t lineStart() const { return m_lineStart; }
    // The line end between the line last handed out and the one before it: "\r\n", "\n" or "\r"
    // (empty before the first line).
    std::string_view endBefore() const { return m_afterCr ? (m_lfSkipped ? "\r\n" : "\r") : "\n"; }
    // Whether the last line handed out ran to the end of the range without a line end.
    bool unterminated() const { return m_unterminated; }
    // Whether the range ended in a CR whose LF, if any, lies past it.
    bool endsInCr() const { return m_skipLf; }
    bool failed() const { return m_error != 0; }
    int error() const { return m_error; }

  private:
    bool refill();

    int m_fd;
    std::int64_t m_next, m_limit;
    std::int64_t m_blockOffset = 0;
    std::int64_t m_lineStart = -1;
    std::vector<char> m_block;
    std::string m_carry;
    std::size_t m_pos = 0, m_len = 0;
    bool m_skipLf = false;
    bool m_afterCr = false;    // the line before the last handed out ended at a CR
    bool m_lfSkipped = false;  // and the LF after it was skipped
    bool m_eof = false;
    bool m_unterminated = false;
    int m_error = 0;
};

// Where the first line starts: past a UTF-8 byte-order mark, if the file begins with one.
std::int64_t FirstLineOffset(int fd);
// Where the data start: past the mark and past the first `skipLines` lines (a spreadsheet's
// "sep=;" line, which names the delimiter, or notes above a table).
std::int64_t DataStartOffset(int fd, std::int64_t skipLines);

}  // namespace corvane
