#include "data/formats/text/FirstPass.h"

#include <algorithm>
#include <string_view>

#include "data/DataMatrix.h"
#include "data/OpenDataFile.h"
#include "data/formats/text/DelimitedFields.h"
#include "data/formats/text/LineReader.h"
#include "data/formats/text/RecordScanner.h"

namespace corvane {

namespace {

// Records longer than this give no delimiter hint.
constexpr std::size_t kHintLineBytes = 1 << 16;

// The outline as the records come, front to back.
class Outliner {
  public:
    Outliner(const TextDialect& dialect, std::int64_t chunkBytes, std::int64_t first)
        : m_dialect(dialect), m_chunkBytes(std::max<std::int64_t>(chunkBytes, 1)) {
        const RecordSyntax syntax{dialect.delimiter, false, -1};
        m_out.chunks.push_back({first, -1, 1, 0, dialect.notesLines + 1, syntax});
    }

    // A record starts at `offset` on line `line`: a new piece starts with it once the piece
    // holds chunkBytes.
    void recordStarts(std::int64_t offset, std::int64_t line) {
        const std::int64_t record = ++m_out.records;
        Chunk& last = m_out.chunks.back();
        if (offset - last.begin < m_chunkBytes) return;
        last.end = offset;
        last.endRecord = record;
        m_out.chunks.push_back({offset, -1, record, 0, line, {m_dialect.delimiter, false, -1}});
    }
    void spansLines() { m_out.chunks.back().syntax.spanLines = true; }

    // The record just ended has `fields`; `single` is its text when it is one line.
    void recordEnds(std::int64_t fields, const std::string_view* single) {
        if (fields > m_out.maxFields) m_out.maxFields = fields;
        if (fields > 0 && (m_out.minFields == 0 || fields < m_out.minFields))
            m_out.minFields = fields;
        const std::int64_t record = m_out.records;
        if (record <= 2 && single && single->size() <= kHintLineBytes)
            m_out.firstLines[record - 1] = *single;
        if (record == 1) {
            m_out.namesLine =
                single && ReadNamesLine(*single, m_dialect.delimiter, DataMatrix::kMaxVariables,
                                        m_dialect.encoding == TextEncoding::Windows1252)
                              .has_value();
        }
    }

    FileOutline finish(std::int64_t unclosedQuote) && {
        m_out.chunks.back().endRecord = m_out.records + 1;
        for (Chunk& c : m_out.chunks) c.syntax.unclosedQuote = unclosedQuote;
        return std::move(m_out);
    }

  private:
    const TextDialect& m_dialect;
    std::int64_t m_chunkBytes;
    FileOutline m_out;
};

}  // namespace

Result<FileOutline, ImportError> RunFirstPass(const std::string& path, const TextDialect& dialect,
                                              std::int64_t chunkBytes) {
    auto file = OpenDataFile(path);
    if (!file) return file.error();
    const int fd = ::fileno(file.value().get());
    const std::int64_t first = DataStartOffset(fd, SkippedLines(dialect));
    Outliner outliner(dialect, chunkBytes, first);
    // Aligned columns are read a line at a time, their runs of spaces made single.
    const bool span = !dialect.alignedColumns;
    LineReader reader(fd, first, -1);
    RecordScanner scanner(dialect.delimiter);
    std::string_view line;
    std::string shaped;
    std::int64_t lineNumber = dialect.notesLines;
    std::int64_t recordLines = 0;
    std::int64_t unclosedQuote = -1;  // where the quoted field still open began
    bool open = false;                // whether the record goes on past the last line read
    while (reader.next(line)) {
        ++lineNumber;
        if (!open) {
            outliner.recordStarts(reader.lineStart(), lineNumber);
            scanner.start();
            recordLines = 0;
        }
        ++recordLines;
        if (!span) {
            line = DialectLine(dialect, line, shaped);
            outliner.recordEnds(CountFields(line, dialect.delimiter), &line);
            continue;
        }
        open = !scanner.line(line);
        if (!open) {
            outliner.recordEnds(scanner.fields(), recordLines == 1 ? &line : nullptr);
            continue;
        }
        outliner.spansLines();
        if (scanner.openedAt() != std::string_view::npos)
            unclosedQuote = reader.lineStart() + static_cast<std::int64_t>(scanner.openedAt());
    }
    if (reader.failed()) return ImportError::Unreadable(reader.error());
    // A quoted field still open at the end of the file was never closed.
    if (open) outliner.recordEnds(scanner.fields(), nullptr);
    return std::move(outliner).finish(open ? unclosedQuote : -1);
}

}  // namespace corvane
