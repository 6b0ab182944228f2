#include "data/ImportDataFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "common/Messages.h"
#include "common/Single.h"
#include "data/DelimitedFields.h"
#include "data/FieldClassifier.h"

// The fuzz build reads in tiny blocks so that lines and CR LF pairs straddle block ends often.
#ifndef CORVANE_IMPORT_BLOCK_SIZE
#define CORVANE_IMPORT_BLOCK_SIZE (1 << 20)
#endif

namespace corvane {

namespace {

// Lines longer than this give no delimiter hint.
constexpr std::size_t kHintLineBytes = 1 << 16;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// The first CR or LF in [begin, end), or end. Two library scans beat one loop over both bytes.
const char* LineEnd(const char* begin, const char* end) {
    const auto* lf =
        static_cast<const char*>(std::memchr(begin, '\n', static_cast<std::size_t>(end - begin)));
    const char* limit = lf ? lf : end;
    const auto* cr =
        static_cast<const char*>(std::memchr(begin, '\r', static_cast<std::size_t>(limit - begin)));
    return cr ? cr : limit;
}

// Reads the bytes [begin, limit) of a file (to its end when limit is negative) in large
// blocks and hands out its lines. A line ends at CR LF, a lone CR or a lone LF; the end is not
// part of the line, and the last line need not have one. Lines are views into the block, or
// into a carry buffer when a line spans two blocks. Reads with pread, so several readers can
// share one descriptor.
class LineReader {
  public:
    LineReader(int fd, std::int64_t begin, std::int64_t limit)
        : m_fd(fd), m_next(begin), m_limit(limit), m_block(kBlockSize) {}

    // False at the end of the range or on a read error (see failed()).
    bool next(std::string_view& line) {
        m_carry.clear();
        m_lineStart = -1;
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

    // Where the line last handed out starts in the file.
    std::int64_t lineStart() const { return m_lineStart; }
    // Whether the last line handed out ran to the end of the range without a line end.
    bool unterminated() const { return m_unterminated; }
    // Whether the range ended in a CR whose LF, if any, lies past it.
    bool endsInCr() const { return m_skipLf; }
    bool failed() const { return m_error != 0; }
    int error() const { return m_error; }

  private:
    static constexpr std::size_t kBlockSize = CORVANE_IMPORT_BLOCK_SIZE;

    bool refill() {
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

    int m_fd;
    std::int64_t m_next, m_limit;
    std::int64_t m_blockOffset = 0;
    std::int64_t m_lineStart = -1;
    std::vector<char> m_block;
    std::string m_carry;
    std::size_t m_pos = 0, m_len = 0;
    bool m_skipLf = false;
    bool m_eof = false;
    bool m_unterminated = false;
    int m_error = 0;
};

// Where the first line starts: past a UTF-8 byte-order mark, if the file begins with one.
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

// The common field, a plain decimal ([sign] digits [. digits], no spaces, no exponent) of at
// most 15 digits: both readings of the field classification are this one number, and its
// digits and the power of ten below the point are exact doubles, so one correctly rounded
// division gives the very value the full reading does. Reads the field that starts at `start`
// and returns where it ends (its delimiter, or the end of the line); npos for every other
// field, which then takes the full classification.
std::size_t ReadPlainDecimal(std::string_view line, std::size_t start, char delimiter,
                             double& value) {
    static constexpr double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const char* const begin = line.data();
    const char* const end = begin + line.size();
    const char* p = begin + start;
    bool negative = false;
    if (p != end && *p != delimiter && (*p == '-' || *p == '+')) negative = *p++ == '-';
    std::uint64_t mantissa = 0;
    int digits = 0, afterPoint = 0;
    bool point = false;
    for (; p != end && *p != delimiter; ++p) {
        const unsigned d = static_cast<unsigned char>(*p) - unsigned{'0'};
        if (d < 10) {
            if (++digits > 15) return std::string_view::npos;
            mantissa = mantissa * 10 + d;
            afterPoint += point;
        } else if (*p == '.' && !point) {
            point = true;
        } else {
            return std::string_view::npos;
        }
    }
    if (digits == 0) return std::string_view::npos;
    const double magnitude = static_cast<double>(mantissa) / kPow10[afterPoint];
    value = negative ? -magnitude : magnitude;
    return static_cast<std::size_t>(p - begin);
}

ImportError Fail(ImportError::Kind kind, std::int64_t row = 0, std::int64_t column = 0) {
    return ImportError{kind, row, column, {}};
}

ImportError Unreadable(int err) {
    return ImportError{ImportError::Kind::Unreadable, 0, 0, std::strerror(err)};
}

Result<FilePtr, ImportError> Open(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return Unreadable(errno);
    if (S_ISDIR(st.st_mode)) return Unreadable(EISDIR);
    // A pipe or a device could block the import or never end.
    if (!S_ISREG(st.st_mode)) {
        return ImportError{ImportError::Kind::Unreadable, 0, 0, "not a regular file"};
    }
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return Unreadable(errno);
    return FilePtr(f);
}

// One piece of the second pass: the lines [firstLine, endLine) of the file, which start at
// the byte offsets [begin, end) (end < 0: to the end of the file).
struct Chunk {
    std::int64_t begin, end;
    std::int64_t firstLine, endLine;
};

struct ChunkOutcome {
    std::optional<ImportError> error;
    std::int32_t variables = 0;
    std::vector<std::string> names;
};

// Everything the second pass shares between its threads; each chunk writes only its own rows
// and its own outcome.
struct SecondPass {
    int fd;
    char delimiter;
    bool namesLine;
    std::int32_t storedColumns;
    DataMatrix* matrix;
    const std::vector<Chunk>* chunks;
    std::vector<ChunkOutcome>* outcomes;
    std::atomic<std::size_t> nextChunk{0};
    // The first chunk known to hold an error: later chunks need not be read.
    std::atomic<std::size_t> firstFaulty{SIZE_MAX};
};

// Splits, classifies and stores the fields of one data line into its row.
std::optional<ImportError> StoreLine(std::string_view line, std::int64_t lineNumber, float* cells,
                                     std::int32_t storedColumns, char delimiter,
                                     std::int32_t& variables, std::string& scratch) {
    using Kind = ImportError::Kind;
    std::int32_t column = 0;
    std::size_t start = 0;
    for (;;) {
        ++column;
        if (column > DataMatrix::kMaxVariables) return Fail(Kind::TooManyFields, lineNumber);
        if (column > storedColumns) return Fail(Kind::FileChanged);
        if (column > variables) variables = column;
        FieldClass fc{FieldKind::Number, 0.0};
        std::size_t stop = ReadPlainDecimal(line, start, delimiter, fc.value);
        if (stop == std::string_view::npos) {
            const Field f = SplitField(line, start, delimiter, scratch);
            stop = f.stop;
            fc = f.malformed ? FieldClass{FieldKind::Invalid, 0.0} : ClassifyField(f.text);
        }
        switch (fc.kind) {
            case FieldKind::Number: {
                const float v = static_cast<float>(fc.value);
                if (!std::isfinite(v)) return Fail(Kind::NumberTooLarge, lineNumber, column);
                cells[column - 1] = v;
                break;
            }
            case FieldKind::Missing:
                cells[column - 1] = kMissing;
                break;
            case FieldKind::Invalid:
                return Fail(Kind::InvalidEntry, lineNumber, column);
        }
        if (stop == line.size()) return std::nullopt;
        start = stop + 1;
    }
}

void ReadChunk(SecondPass& pass, std::size_t index) {
    using Kind = ImportError::Kind;
    const Chunk& chunk = (*pass.chunks)[index];
    ChunkOutcome& out = (*pass.outcomes)[index];
    const bool last = chunk.end < 0;
    LineReader reader(pass.fd, chunk.begin, chunk.end);
    std::string scratch;
    std::string_view line;
    std::int64_t lineNumber = chunk.firstLine - 1;
    const std::int64_t rowShift = pass.namesLine ? 1 : 0;
    while (reader.next(line)) {
        if (index > pass.firstFaulty.load(std::memory_order_relaxed)) return;
        ++lineNumber;
        if (lineNumber >= chunk.endLine) {
            out.error = Fail(Kind::FileChanged);
            return;
        }
        if (lineNumber == 1 && pass.namesLine) {
            auto names = ReadNamesLine(line, pass.delimiter, pass.storedColumns);
            if (!names) {
                out.error = Fail(Kind::FileChanged);
                return;
            }
            out.variables = static_cast<std::int32_t>(names->size());
            out.names = std::move(*names);
            continue;
        }
        if (line.empty()) continue;
        float* cells = pass.matrix->rowData(static_cast<std::int32_t>(lineNumber - rowShift));
        if (auto e = StoreLine(line, lineNumber, cells, pass.storedColumns, pass.delimiter,
                               out.variables, scratch)) {
            out.error = std::move(e);
            return;
        }
    }
    if (reader.failed()) {
        out.error = Unreadable(reader.error());
        return;
    }
    // The piece must still hold exactly its lines, and end where the next one starts.
    bool same = lineNumber == chunk.endLine - 1;
    if (!last && same) {
        char after = 0;
        same = !reader.unterminated() &&
               !(reader.endsInCr() && ::pread(pass.fd, &after, 1, chunk.end) == 1 && after == '\n');
    }
    if (!same) out.error = Fail(Kind::FileChanged);
}

void RunSecondPass(SecondPass& pass) {
    for (;;) {
        const std::size_t i = pass.nextChunk.fetch_add(1);
        if (i >= pass.chunks->size()) return;
        ChunkOutcome& out = (*pass.outcomes)[i];
        // Nothing may leave a thread: a failure becomes the piece's error.
        try {
            ReadChunk(pass, i);
        } catch (const std::bad_alloc&) {
            out.error = Fail(ImportError::Kind::OutOfMemory);
        } catch (const std::length_error&) {
            out.error = Fail(ImportError::Kind::OutOfMemory);
        } catch (const std::exception& e) {
            out.error = ImportError{ImportError::Kind::Unreadable, 0, 0, e.what()};
        }
        if (out.error) {
            std::size_t seen = pass.firstFaulty.load();
            while (i < seen && !pass.firstFaulty.compare_exchange_weak(seen, i)) {
            }
        }
    }
}

}  // namespace

std::string ImportErrorText(const ImportError& e, const std::string& path) {
    switch (e.kind) {
        case ImportError::Kind::InvalidEntry:
            if (e.likelyDelimiter != 0) {
                return msg::InvalidEntry(e.row, e.column) + " " +
                       msg::LooksDelimited(e.likelyDelimiter);
            }
            return msg::InvalidEntry(e.row, e.column);
        case ImportError::Kind::NumberTooLarge:
            return msg::NumberTooLarge(e.row, e.column);
        case ImportError::Kind::TooManyFields:
            return msg::TooManyFields(e.row);
        case ImportError::Kind::TooManyLines:
            return msg::TooManyLines();
        case ImportError::Kind::Unreadable:
            return msg::FileNotReadable(path, e.reason);
        case ImportError::Kind::FileChanged:
            return msg::FileChangedWhileReading(path);
        case ImportError::Kind::OutOfMemory:
            return msg::NotEnoughMemory();
    }
    return msg::FileNotReadable(path, "unknown failure");
}

Result<DataSet, ImportError> ImportDataFile(const std::string& path, char delimiter,
                                            const ImportOptions& options) {
    using Kind = ImportError::Kind;
    try {
        // First pass: the number of lines, the most fields on any line, whether the first
        // line holds names, and the line starts where the second pass may cut the file.
        std::int64_t lines = 0, maxFields = 0;
        bool namesLine = false;
        std::string firstLines[2];  // kept for the delimiter hint, when short enough
        std::vector<Chunk> chunks;
        {
            auto file = Open(path);
            if (!file) return file.error();
            const int fd = ::fileno(file.value().get());
            const std::int64_t first = FirstLineOffset(fd);
            const std::int64_t chunkBytes = std::max<std::int64_t>(options.chunkBytes, 1);
            chunks.push_back({first, -1, 1, 0});
            LineReader reader(fd, first, -1);
            std::string_view line;
            while (reader.next(line)) {
                ++lines;
                if (reader.lineStart() - chunks.back().begin >= chunkBytes) {
                    chunks.back().end = reader.lineStart();
                    chunks.back().endLine = lines;
                    chunks.push_back({reader.lineStart(), -1, lines, 0});
                }
                const std::int64_t fields = CountFields(line, delimiter, DataMatrix::kMaxVariables);
                if (fields > maxFields) maxFields = fields;
                if (lines <= 2 && line.size() <= kHintLineBytes) firstLines[lines - 1] = line;
                if (lines == 1) {
                    namesLine =
                        ReadNamesLine(line, delimiter, DataMatrix::kMaxVariables).has_value();
                }
            }
            if (reader.failed()) return Unreadable(reader.error());
            chunks.back().endLine = lines + 1;
        }
        if (lines > std::numeric_limits<std::int32_t>::max()) return Fail(Kind::TooManyLines);

        const auto storedColumns =
            static_cast<std::int32_t>(std::min<std::int64_t>(maxFields, DataMatrix::kMaxVariables));
        DataSet::Contents set;
        set.cases = static_cast<std::int32_t>(lines - (namesLine ? 1 : 0));
        set.matrix = DataMatrix(set.cases, storedColumns);

        if (options.betweenPasses) options.betweenPasses(path);

        // Second pass: split, classify and store every field, the pieces on several threads.
        auto file = Open(path);
        if (!file) return file.error();
        const int fd = ::fileno(file.value().get());
        if (FirstLineOffset(fd) != chunks.front().begin) return Fail(Kind::FileChanged);
        std::vector<ChunkOutcome> outcomes(chunks.size());
        SecondPass pass{fd, delimiter, namesLine, storedColumns, &set.matrix, &chunks, &outcomes};
        unsigned threads = options.threads ? options.threads : std::thread::hardware_concurrency();
        threads = static_cast<unsigned>(
            std::clamp<std::size_t>(threads, 1, std::min<std::size_t>(chunks.size(), 64)));
        {
            std::vector<std::jthread> helpers;
            for (unsigned t = 1; t < threads; ++t) {
                try {
                    helpers.emplace_back([&pass] { RunSecondPass(pass); });
                } catch (const std::system_error&) {
                    break;  // fewer threads then; the pieces are shared all the same
                }
            }
            RunSecondPass(pass);
        }
        for (ChunkOutcome& o : outcomes) {
            if (o.error) {
                ImportError e = std::move(*o.error);
                if (e.kind == Kind::InvalidEntry && maxFields <= 1 && lines >= 2) {
                    e.likelyDelimiter = LikelyDelimiter(firstLines[0], firstLines[1], delimiter);
                }
                return e;
            }
            set.variables = std::max(set.variables, o.variables);
        }
        if (set.variables != storedColumns) return Fail(Kind::FileChanged);
        if (namesLine) set.names = std::move(outcomes.front().names);
        return DataSet(std::move(set));
    } catch (const std::bad_alloc&) {
        return Fail(Kind::OutOfMemory);
    } catch (const std::length_error&) {
        return Fail(Kind::OutOfMemory);
    }
}

std::string ImportSummary(const std::string& path, std::int32_t cases, std::int32_t variables,
                          bool namesRead) {
    return "Opened the text file: " + path + "\r\nNumber of Cases: " + std::to_string(cases) +
           "\r\nNumber of Variables: " + std::to_string(variables) +
           (namesRead ? "\r\nVariable Names: from the first line" : "") + "\r\n\r\n\r\n";
}

}  // namespace corvane
