#include "data/formats/text/FirstPass.h"

#include <algorithm>
#include <string_view>

#include "data/DataMatrix.h"
#include "data/OpenDataFile.h"
#include "data/formats/text/DelimitedFields.h"
#include "data/formats/text/LineReader.h"

namespace corvane {

namespace {

// Lines longer than this give no delimiter hint.
constexpr std::size_t kHintLineBytes = 1 << 16;

}  // namespace

Result<FileOutline, ImportError> RunFirstPass(const std::string& path, const TextDialect& dialect,
                                              std::int64_t chunkBytes) {
    const char delimiter = dialect.delimiter;
    auto file = OpenDataFile(path);
    if (!file) return file.error();
    const int fd = ::fileno(file.value().get());
    const std::int64_t first = DataStartOffset(fd, dialect.separatorLine);
    chunkBytes = std::max<std::int64_t>(chunkBytes, 1);
    FileOutline out;
    std::vector<Chunk>& chunks = out.chunks;
    chunks.push_back({first, -1, 1, 0});
    LineReader reader(fd, first, -1);
    std::string_view line;
    std::string shaped;
    while (reader.next(line)) {
        line = DialectLine(dialect, line, shaped);
        const std::int64_t lines = ++out.lines;
        if (reader.lineStart() - chunks.back().begin >= chunkBytes) {
            chunks.back().end = reader.lineStart();
            chunks.back().endLine = lines;
            chunks.push_back({reader.lineStart(), -1, lines, 0});
        }
        const std::int64_t fields = CountFields(line, delimiter, DataMatrix::kMaxVariables);
        if (fields > out.maxFields) out.maxFields = fields;
        if (fields > 0 && (out.minFields == 0 || fields < out.minFields)) out.minFields = fields;
        if (lines <= 2 && line.size() <= kHintLineBytes) out.firstLines[lines - 1] = line;
        if (lines == 1) {
            out.namesLine = ReadNamesLine(line, delimiter, DataMatrix::kMaxVariables,
                                          dialect.encoding == TextEncoding::Windows1252)
                                .has_value();
        }
    }
    if (reader.failed()) return ImportError::Unreadable(reader.error());
    chunks.back().endLine = out.lines + 1;
    return out;
}

}  // namespace corvane
