#include "data/formats/text/TextColumns.h"

#include <algorithm>
#include <span>
#include <string>
#include <string_view>

#include "common/Single.h"
#include "data/FieldClassifier.h"
#include "data/formats/text/DelimitedFields.h"
#include "data/formats/text/RecordReader.h"

namespace corvane {

namespace {

// Whether each column (from 1, at c - 1) holds text in any of the pieces.
std::vector<bool> TextColumnsOf(std::span<const PieceText> pieces, std::int32_t columns) {
    std::vector<bool> text(static_cast<std::size_t>(columns), false);
    for (const PieceText& p : pieces)
        for (std::size_t c = 0; c < p.dictionaryOf.size(); ++c)
            if (p.dictionaryOf[c] >= 0) text[c] = true;
    return text;
}

// The fields of one piece to read again: in each of `columns` those before the record `before`.
struct Reread {
    std::vector<TextColumn*> columns;  // in column order
    std::vector<std::int64_t> before;
};

// Reads the records [chunk.firstRecord, endRecord) of a piece again and gives the fields that
// each column read as numbers before its first text in the piece the codes of their texts.
std::optional<ImportError> RecodeNumbersRead(int fd, const TextDialect& dialect, const Chunk& chunk,
                                             const Reread& reread, DataMatrix& matrix) {
    const std::vector<TextColumn*>& columns = reread.columns;
    const std::int64_t endRecord = *std::max_element(reread.before.begin(), reread.before.end());
    const std::int32_t last = columns.back()->column();
    RecordReader reader(fd, chunk.begin, chunk.end, chunk.syntax);
    std::string scratch, shaped;
    std::string_view line;
    std::int64_t lineNumber = chunk.firstLine;
    for (std::int64_t record = chunk.firstRecord; record < endRecord; ++record) {
        if (record > chunk.firstRecord) lineNumber += reader.lines();
        if (!reader.next(line)) {
            if (reader.failed()) return ImportError::Unreadable(reader.error());
            return ImportError::Of(ImportError::Kind::FileChanged);
        }
        line = DialectLine(dialect, line, shaped);
        if (record == 1 || line.empty()) continue;
        const auto row = static_cast<std::int32_t>(record - 1);
        std::size_t start = 0;
        std::size_t next = 0;  // the first of `columns` not before the field
        for (std::int32_t column = 1; column <= last; ++column) {
            const Field f = SplitField(line, start, dialect.delimiter, scratch);
            while (columns[next]->column() < column) ++next;
            if (columns[next]->column() == column && record < reread.before[next] &&
                !IsTableMissing(f.text)) {
                if (auto e = columns[next]->code(lineNumber, f.text, matrix(row, column))) return e;
            }
            if (f.stop == line.size()) break;
            start = f.stop + 1;
        }
    }
    return std::nullopt;
}

// Moves a piece's own codes of one column, from its first text on, to the merged ones.
void Recode(const Chunk& chunk, std::int64_t firstRecord, std::int32_t column,
            const std::vector<float>& codes, DataMatrix& matrix) {
    for (std::int64_t record = firstRecord; record < chunk.endRecord; ++record) {
        float& cell = matrix(static_cast<std::int32_t>(record - 1), column);
        if (cell >= 1.0f && !IsMissing(cell)) cell = codes[static_cast<std::size_t>(cell) - 1];
    }
}

// The columns whose fields the piece read as numbers before its first text in them (or in all
// its records when it held none).
Reread ToReread(const Chunk& chunk, const PieceText& piece, std::span<TextColumn* const> merged) {
    const std::int64_t firstData = std::max<std::int64_t>(chunk.firstRecord, 2);
    Reread reread;
    for (TextColumn* m : merged) {
        const std::int32_t c = m->column();
        const std::int64_t firstText = piece.holdsText(c)
                                           ? piece.firstText[piece.dictionaryOf[c - 1]].record
                                           : chunk.endRecord;
        if (firstText > firstData) {
            reread.columns.push_back(m);
            reread.before.push_back(firstText);
        }
    }
    return reread;
}

// Merges the piece's own labels of the column into the column's, recoding its cells when their
// codes differ.
std::optional<ImportError> MergePiece(const Chunk& chunk, const PieceText& piece, TextColumn& m,
                                      std::vector<float>& codes, DataMatrix& matrix) {
    const std::int32_t d = piece.dictionaryOf[m.column() - 1];
    const LabelDictionary& own = piece.dictionaries[d];
    const RecordPlace firstText = piece.firstText[d];
    m.firstText(firstText.line, own.labels().front());
    codes.clear();
    bool same = true;
    for (const std::string& label : own.labels()) {
        float code = 0.0f;
        if (auto e = m.code(firstText.line, label, code)) return e;
        codes.push_back(code);
        same = same && code == static_cast<float>(codes.size());
    }
    if (!same) Recode(chunk, firstText.record, m.column(), codes, matrix);
    return std::nullopt;
}

}  // namespace

std::optional<ImportError> FirstTableFailure(std::span<const PieceText> pieces,
                                             std::optional<ImportError> stopped,
                                             std::int32_t columns) {
    const std::vector<bool> text = TextColumnsOf(pieces, columns);
    // The pieces run in file order and note in reading order, so the first found comes first.
    for (const PieceText& p : pieces)
        for (const auto& [line, column] : p.tooLarge)
            if (!text[column - 1])
                return ImportError::Of(ImportError::Kind::NumberTooLarge, line, column);
    return stopped;
}

std::optional<ImportError> CodeTextColumns(int fd, const TextDialect& dialect,
                                           const std::vector<Chunk>& chunks,
                                           const std::vector<PieceText>& pieces, DataMatrix& matrix,
                                           TableBuilder& table) {
    const std::vector<bool> text = TextColumnsOf(pieces, matrix.storedColumns());
    std::vector<TextColumn*> merged;
    for (std::int32_t c = 1; c <= matrix.storedColumns(); ++c)
        if (text[c - 1]) merged.push_back(&table.text(c));
    std::vector<float> codes;
    for (std::size_t i = 0; i < chunks.size() && !merged.empty(); ++i) {
        const Reread reread = ToReread(chunks[i], pieces[i], merged);
        if (!reread.columns.empty()) {
            if (auto e = RecodeNumbersRead(fd, dialect, chunks[i], reread, matrix)) return e;
        }
        for (TextColumn* m : merged) {
            if (!pieces[i].holdsText(m->column())) continue;
            if (auto e = MergePiece(chunks[i], pieces[i], *m, codes, matrix)) return e;
        }
    }
    return std::nullopt;
}

}  // namespace corvane
