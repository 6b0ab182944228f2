#include "data/formats/text/SecondPass.h"

#include <unistd.h>

#include <algorithm>
#include <exception>
#include <optional>
#include <span>
#include <string_view>

#include "common/ParallelWork.h"
#include "data/OutOfMemory.h"
#include "data/formats/text/DelimitedFields.h"
#include "data/formats/text/RecordReader.h"
#include "data/formats/text/StoreLine.h"
#include "data/formats/text/TextColumns.h"

namespace corvane {

namespace {

// However many cores the machine has, the pieces go to at most this many threads.
constexpr std::size_t kMaxThreads = 64;

// What every piece reads; each piece writes only its own rows and its own outcome.
struct PassInput {
    int fd;
    const TextDialect& dialect;
    char delimiter;
    bool decimalComma;
    bool windows1252;
    bool namesLine;
    bool textColumns;  // a table: text makes a text column rather than failing
    DataMatrix& matrix;
};

struct ChunkOutcome {
    std::optional<ImportError> error;
    std::int32_t variables = 0;
    std::vector<std::string> names;
    PieceText text;
};

// Whether a piece read to its end still held exactly its records and ended where the next
// piece starts: otherwise the file changed since the first pass.
bool ChunkEndedInPlace(const PassInput& in, const Chunk& chunk, const RecordReader& reader,
                       std::int64_t lastRecord) {
    if (lastRecord != chunk.endRecord - 1) return false;
    if (chunk.end < 0) return true;
    char after = 0;
    return !reader.unterminated() &&
           !(reader.endsInCr() && ::pread(in.fd, &after, 1, chunk.end) == 1 && after == '\n');
}

std::optional<ImportError> ReadChunk(const PassInput& in, const Chunk& chunk, ChunkOutcome& out,
                                     std::string& scratch) {
    using Kind = ImportError::Kind;
    RecordReader reader(in.fd, chunk.begin, chunk.end, chunk.syntax);
    std::string_view line;
    RecordPlace at{chunk.firstRecord - 1, chunk.firstLine};
    std::int64_t lines = 0;  // of the record before
    const std::int64_t rowShift = in.namesLine ? 1 : 0;
    const std::int32_t storedColumns = in.matrix.storedColumns();
    std::string shaped;
    while (reader.next(line)) {
        line = DialectLine(in.dialect, line, shaped);
        ++at.record;
        at.line += lines;
        lines = reader.lines();
        if (at.record >= chunk.endRecord) return ImportError::Of(Kind::FileChanged);
        if (at.record == 1 && in.namesLine) {
            auto names = ReadNamesLine(line, in.delimiter, storedColumns, in.windows1252);
            if (!names) return ImportError::Of(Kind::FileChanged);
            out.variables = static_cast<std::int32_t>(names->size());
            out.names = std::move(*names);
            continue;
        }
        if (line.empty()) continue;
        float* cells = in.matrix.rowData(static_cast<std::int32_t>(at.record - rowShift));
        if (auto e = StoreLine(line, at, cells, storedColumns, {in.delimiter, in.decimalComma},
                               out.variables, scratch, in.textColumns ? &out.text : nullptr)) {
            return e;
        }
    }
    if (reader.failed()) return ImportError::Unreadable(reader.error());
    if (!ChunkEndedInPlace(in, chunk, reader, at.record)) return ImportError::Of(Kind::FileChanged);
    return std::nullopt;
}

// One piece of the run: whatever goes wrong becomes the piece's error, so that the earliest
// piece decides the outcome.
bool ReadPiece(const PassInput& in, const Chunk& chunk, ChunkOutcome& out, std::string& scratch) {
    try {
        out.error = CatchingOutOfMemory([&] { return ReadChunk(in, chunk, out, scratch); });
    } catch (const std::exception& e) {
        out.error = ImportError::Unreadable(std::string(e.what()));
    }
    return !out.error;
}

}  // namespace

Result<SecondPassResult, ImportError> RunSecondPass(int fd, const TextDialect& dialect,
                                                    const FileOutline& outline, unsigned threads,
                                                    bool textColumns, DataMatrix& matrix,
                                                    TableBuilder& table) {
    const std::vector<Chunk>& chunks = outline.chunks;
    const char delimiter = dialect.delimiter;
    const PassInput in{fd,
                       dialect,
                       delimiter,
                       dialect.decimalComma,
                       dialect.encoding == TextEncoding::Windows1252,
                       outline.namesLine,
                       textColumns,
                       matrix};
    std::vector<ChunkOutcome> outcomes(chunks.size());
    // Each thread's scratch for quoted fields.
    std::vector<std::string> scratch(WorkerThreads(threads, std::min(chunks.size(), kMaxThreads)));
    const ParallelOutcome run =
        RunPieces(chunks.size(), scratch, [&](std::string& s, std::size_t piece) {
            return ReadPiece(in, chunks[piece], outcomes[piece], s);
        });
    std::vector<PieceText> text;
    if (!textColumns) {
        if (run.failedPiece) return std::move(*outcomes[*run.failedPiece].error);
    } else {
        for (ChunkOutcome& o : outcomes) text.push_back(std::move(o.text));
        // Only the pieces up to the one that stopped were read, as front to back.
        const std::size_t read = run.failedPiece ? *run.failedPiece + 1 : chunks.size();
        std::optional<ImportError> stopped;
        if (run.failedPiece) stopped = std::move(outcomes[*run.failedPiece].error);
        if (auto e = FirstTableFailure(std::span(text).first(read), std::move(stopped),
                                       matrix.storedColumns()))
            return std::move(*e);
    }
    SecondPassResult result;
    for (const ChunkOutcome& o : outcomes) {
        result.variables = std::max(result.variables, o.variables);
    }
    if (outline.namesLine) result.names = std::move(outcomes.front().names);
    if (textColumns) {
        if (auto e = CodeTextColumns(fd, dialect, chunks, text, matrix, table))
            return std::move(*e);
    }
    return result;
}

}  // namespace corvane
