#include "data/ImportDataFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <string_view>
#include <vector>

#include "common/Messages.h"
#include "common/Single.h"
#include "data/FieldClassifier.h"

// The fuzz build reads in tiny blocks so that lines and CR LF pairs straddle block ends often.
#ifndef CORVANE_IMPORT_BLOCK_SIZE
#define CORVANE_IMPORT_BLOCK_SIZE (1 << 20)
#endif

namespace corvane {

namespace {

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

// Reads a file in large blocks and hands out its lines. A line ends at CR LF, a lone CR or a
// lone LF; the end is not part of the line, and the last line need not have one. Lines are
// views into the block, or into a carry buffer when a line spans two blocks.
class LineReader {
  public:
    explicit LineReader(std::FILE* f) : m_file(f), m_block(kBlockSize) {}

    // False at the end of the file or on a read error (see failed()).
    bool next(std::string_view& line) {
        m_carry.clear();
        bool carrying = false;
        for (;;) {
            if (m_pos == m_len) {
                if (!refill()) {
                    if (carrying) {  // last line without a line end
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

    bool failed() const { return m_error != 0; }
    int error() const { return m_error; }

  private:
    static constexpr std::size_t kBlockSize = CORVANE_IMPORT_BLOCK_SIZE;

    bool refill() {
        if (m_eof) return false;
        m_len = std::fread(m_block.data(), 1, m_block.size(), m_file);
        m_pos = 0;
        if (m_len == 0) {
            if (std::ferror(m_file)) m_error = errno ? errno : EIO;
            m_eof = true;
            return false;
        }
        return true;
    }

    std::FILE* m_file;
    std::vector<char> m_block;
    std::string m_carry;
    std::size_t m_pos = 0, m_len = 0;
    bool m_skipLf = false;
    bool m_eof = false;
    int m_error = 0;
};

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

// Fields on a line: delimiters + 1, and none at all for an empty line.
std::int64_t CountFields(std::string_view line, char delimiter) {
    if (line.empty()) return 0;
    std::int64_t count = 1;
    for (char c : line) count += c == delimiter;
    return count;
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

std::function<void(const std::string&)>& BetweenPassesHook() {
    static std::function<void(const std::string&)> hook;
    return hook;
}

}  // namespace

void SetImportBetweenPassesHook(std::function<void(const std::string&)> hook) {
    BetweenPassesHook() = std::move(hook);
}

std::string ImportErrorText(const ImportError& e, const std::string& path) {
    switch (e.kind) {
        case ImportError::Kind::InvalidEntry:
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

Result<DataSet, ImportError> ImportDataFile(const std::string& path, char delimiter) {
    using Kind = ImportError::Kind;
    try {
        // First pass: the number of lines, and the most fields on any line.
        std::int64_t lines = 0, maxFields = 0;
        {
            auto file = Open(path);
            if (!file) return file.error();
            LineReader reader(file.value().get());
            std::string_view line;
            while (reader.next(line)) {
                ++lines;
                const std::int64_t fields = CountFields(line, delimiter);
                if (fields > maxFields) maxFields = fields;
            }
            if (reader.failed()) return Unreadable(reader.error());
        }
        if (lines > std::numeric_limits<std::int32_t>::max()) return Fail(Kind::TooManyLines);

        const auto storedColumns =
            static_cast<std::int32_t>(std::min<std::int64_t>(maxFields, DataMatrix::kMaxVariables));
        DataSet set;
        set.matrix = DataMatrix(static_cast<std::int32_t>(lines), storedColumns);
        set.cases = static_cast<std::int32_t>(lines);

        if (const auto& hook = BetweenPassesHook()) hook(path);

        // Second pass: split, classify and store every field.
        auto file = Open(path);
        if (!file) return file.error();
        LineReader reader(file.value().get());
        std::string_view line;
        std::int64_t row = 0;
        while (reader.next(line)) {
            ++row;
            if (row > lines) return Fail(Kind::FileChanged);
            if (line.empty()) continue;
            float* cells = set.matrix.rowData(static_cast<std::int32_t>(row));
            std::int32_t column = 0;
            std::size_t start = 0;
            for (;;) {
                ++column;
                if (column > DataMatrix::kMaxVariables) {
                    return Fail(Kind::TooManyFields, row);
                }
                if (column > storedColumns) return Fail(Kind::FileChanged);
                if (column > set.variables) set.variables = column;
                FieldClass fc{FieldKind::Number, 0.0};
                std::size_t stop = ReadPlainDecimal(line, start, delimiter, fc.value);
                if (stop == std::string_view::npos) {
                    stop = std::min(line.find(delimiter, start), line.size());
                    fc = ClassifyField(line.substr(start, stop - start));
                }
                switch (fc.kind) {
                    case FieldKind::Number: {
                        const float f = static_cast<float>(fc.value);
                        if (!std::isfinite(f)) return Fail(Kind::NumberTooLarge, row, column);
                        cells[column - 1] = f;
                        break;
                    }
                    case FieldKind::Missing:
                        cells[column - 1] = kMissing;
                        break;
                    case FieldKind::Invalid:
                        return Fail(Kind::InvalidEntry, row, column);
                }
                if (stop == line.size()) break;
                start = stop + 1;
            }
        }
        if (reader.failed()) return Unreadable(reader.error());
        if (row != lines || set.variables != storedColumns) return Fail(Kind::FileChanged);
        return set;
    } catch (const std::bad_alloc&) {
        return Fail(Kind::OutOfMemory);
    } catch (const std::length_error&) {
        return Fail(Kind::OutOfMemory);
    }
}

std::string ImportSummary(const std::string& path, std::int32_t cases, std::int32_t variables) {
    return "Opened the text file: " + path + "\r\nNumber of Cases: " + std::to_string(cases) +
           "\r\nNumber of Variables: " + std::to_string(variables) + "\r\n\r\n\r\n";
}

}  // namespace corvane
