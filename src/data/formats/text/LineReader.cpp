#include "data/formats/text/LineReader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

// The fuzz build reads in tiny blocks so that lines and CR LF pairs straddle block ends often.
#ifndef CORVANE_IMPORT_BLOCK_SIZE
#define CORVANE_IMPORT_BLOCK_SIZE (1 << 20)
#endif

namespace corvane {

namespace {

constexpr std::size_t kBlockSize = CORVANE_IMPORT_BLOCK_SIZE;

// The first CR or LF in [begin, end), or end. Two library scans beat one loop over both bytes.
const char* LineEnd(const char* begin, const char* end) {
    const auto* lf =
        static_cast<const char*>(std::memchr(begin, '\n', static_cast<std::size_t>(end - begin)));
    const char* limit = lf ? lf : end;
    const auto* cr =
        static_cast<const char*>(std::memchr(begin, '\r', static_cast<std::size_t>(limit - begin)));
    return cr ? cr : limit;
}

}  // namespace

LineReader::LineReader(int fd, std::int64_t begin, std::int64_t limit)
    : m_fd(fd), m_next(begin), m_limit(limit), m_block(kBlockSize) {}

bool LineReader::next(std::string_view& line) {
    m_carry.clear();
    m_lineStart = -1;
    m_afterCr = m_skipLf;
    m_lfSkipped = false;
    bool carrying = false;
    for (;;) {
        if (m_pos == m_len) {
            if (!refill()) {
                if (carrying) {  // last line without a line end
                    m_unterminated = true;
                    line = m_carry;
                    return true;
                }
                return false;
            }
        }
        if (m_skipLf) {
            m_skipLf = false;
            if (m_block[m_pos] == '\n') {
                ++m_pos;
                m_lfSkipped = true;
                continue;
            }
        }
        if (m_lineStart < 0) m_lineStart = m_blockOffset + static_cast<std::int64_t>(m_pos);
        const char* begin = m_block.data() + m_pos;
        const char* end = m_block.data() + m_len;
        const char* stop = LineEnd(begin, end);
        if (stop == end) {
            m_carry.append(begin, end);
            carrying = true;
            m_pos = m_len;
            continue;
        }
        m_pos = static_cast<std::size_t>(stop - m_block.data()) + 1;
        if (*stop == '\r') m_skipLf = true;
        if (carrying) {
            m_carry.append(begin, stop);
            line = m_carry;
        } else {
            line = std::string_view(begin, static_cast<std::size_t>(stop - begin));
        }
        return true;
    }
}

bool LineReader::refill() {
    if (m_eof) return false;
    std::size_t want = m_block.size();
    if (m_limit >= 0) {
        want = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(want), m_limit - m_next));
    }
    m_blockOffset = m_next;
    m_pos = 0;
    m_len = 0;
    if (want == 0) {
        m_eof = true;
        return false;
    }
    ssize_t got;
    do {
        got = ::pread(m_fd, m_block.data(), want, static_cast<off_t>(m_next));
    } while (got < 0 && errno == EINTR);
    if (got < 0) m_error = errno ? errno : EIO;
    if (got > 0) {
        m_len = static_cast<std::size_t>(got);
        m_next += got;
    }
    if (m_len == 0) {
        m_eof = true;
        return false;
    }
    return true;
}

std::int64_t FirstLineOffset(int fd) {
    unsigned char head[3] = {};
    std::size_t have = 0;
    while (have < 3) {
        const ssize_t got = ::pread(fd, head + have, 3 - have, static_cast<off_t>(have));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        have += static_cast<std::size_t>(got);
    }
    return have == 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF ? 3 : 0;
}

std::int64_t DataStartOffset(int fd, std::int64_t skipLines) {
    const std::int64_t first = FirstLineOffset(fd);
    if (skipLines <= 0) return first;
    LineReader reader(fd, first, -1);
    std::string_view line;
    std::int64_t end = first;  // where the last line skipped ends, before its line end
    for (std::int64_t i = 0; i < skipLines; ++i) {
        if (!reader.next(line)) return end;
        end = reader.lineStart() + static_cast<std::int64_t>(line.size());
    }
    return reader.next(line) ? reader.lineStart() : end;
}

}  // namespace corvane
