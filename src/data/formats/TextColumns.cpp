#include "data/formats/TextColumns.h"

#include <algorithm>
#include <span>
#include <string>
#include <string_view>

#include "common/Single.h"
#include "data/FieldClassifier.h"
#include "data/formats/DelimitedFields.h"
#include "data/formats/LabelDictionary.h"
#include "data/formats/LineReader.h"

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

// One text column as the merge builds it.
struct MergedColumn {
    std::int32_t column;
    LabelDictionary labels;
    std::string firstText;
    std::int64_t firstTextRow = 0;
};

// Reads the lines [chunk.firstLine, endLine) of a piece again and gives the fields that each
// column read as numbers before its first text in the piece (the lines before `before[i]`) the
// codes of their texts.
std::optional<ImportError> RecodeNumbersRead(int fd, const TextDialect& dialect, const Chunk& chunk,
                                             const std::vector<MergedColumn*>& columns,
                                             const std::vector<std::int64_t>& before,
                                             DataMatrix& matrix) {
    const std::int64_t endLine = *std::max_element(before.begin(), before.end());
    const std::int32_t last = columns.back()->column;
    LineReader reader(fd, chunk.begin, chunk.end);
    std::string scratch, shaped;
    std::string_view line;
    for (std::int64_t lineNumber = chunk.firstLine; lineNumber < endLine; ++lineNumber) {
        if (!reader.next(line)) {
            if (reader.failed()) return ImportError::Unreadable(reader.error());
            return ImportError::Of(ImportError::Kind::FileChanged);
        }
        line = DialectLine(dialect, line, shaped);
        if (lineNumber == 1 || line.empty()) continue;
        const auto row = static_cast<std::int32_t>(lineNumber - 1);
        std::size_t start = 0;
        std::size_t next = 0;  // the first of `columns` not before the field
        for (std::int32_t column = 1; column <= last; ++column) {
            const Field f = SplitField(line, start, dialect.delimiter, scratch);
            while (columns[next]->column < column) ++next;
            if (columns[next]->column == column && lineNumber < before[next] &&
                !IsTableMissing(f.text)) {
                matrix(row, column) = static_cast<float>(columns[next]->labels.codeOf(f.text));
            }
            if (f.stop == line.size()) break;
            start = f.stop + 1;
        }
    }
    return std::nullopt;
}

// Moves a piece's own codes of one column, from its first text on, to the merged ones.
void Recode(const Chunk& chunk, std::int64_t firstLine, std::int32_t column,
            const std::vector<float>& codes, DataMatrix& matrix) {
    for (std::int64_t line = firstLine; line < chunk.endLine; ++line) {
        float& cell = matrix(static_cast<std::int32_t>(line - 1), column);
        if (cell >= 1.0f && !IsMissing(cell)) cell = codes[static_cast<std::size_t>(cell) - 1];
    }
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

Result<std::vector<VariableFacts>, ImportError> CodeTextColumns(
    int fd, const TextDialect& dialect, const std::vector<Chunk>& chunks,
    const std::vector<PieceText>& pieces, std::int32_t variables, DataMatrix& matrix) {
    const std::vector<bool> text = TextColumnsOf(pieces, matrix.storedColumns());
    std::vector<MergedColumn> merged;
    for (std::int32_t c = 1; c <= matrix.storedColumns(); ++c)
        if (text[c - 1]) merged.push_back({c, {}, {}, 0});
    if (merged.empty()) return std::vector<VariableFacts>{};

    std::vector<MergedColumn*> reread;
    std::vector<std::int64_t> before;
    std::vector<float> codes;
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        const Chunk& chunk = chunks[i];
        const PieceText& piece = pieces[i];
        const std::int64_t firstData = std::max<std::int64_t>(chunk.firstLine, 2);
        reread.clear();
        before.clear();
        for (MergedColumn& m : merged) {
            const std::int64_t firstText =
                piece.holdsText(m.column) ? piece.firstTextLine[piece.dictionaryOf[m.column - 1]]
                                          : chunk.endLine;
            if (firstText > firstData) {
                reread.push_back(&m);
                before.push_back(firstText);
            }
        }
        if (!reread.empty()) {
            if (auto e = RecodeNumbersRead(fd, dialect, chunk, reread, before, matrix)) return *e;
        }
        for (MergedColumn& m : merged) {
            if (!piece.holdsText(m.column)) continue;
            const std::int32_t d = piece.dictionaryOf[m.column - 1];
            const LabelDictionary& own = piece.dictionaries[d];
            const std::int64_t firstText = piece.firstTextLine[d];
            if (m.firstTextRow == 0) {
                m.firstText = own.labels().front();
                m.firstTextRow = firstText;
            }
            codes.clear();
            bool same = true;
            for (const std::string& label : own.labels()) {
                codes.push_back(static_cast<float>(m.labels.codeOf(label)));
                same = same && codes.back() == static_cast<float>(codes.size());
            }
            if (m.labels.size() > kMaxLabels)
                return ImportError::Of(ImportError::Kind::TooManyLabels, 0, m.column);
            if (!same) Recode(chunk, firstText, m.column, codes, matrix);
        }
    }

    std::vector<VariableFacts> facts(static_cast<std::size_t>(variables));
    for (MergedColumn& m : merged) {
        if (m.labels.size() > kMaxLabels)
            return ImportError::Of(ImportError::Kind::TooManyLabels, 0, m.column);
        VariableFacts& f = facts[m.column - 1];
        f.kind = VariableKind::Text;
        f.labels.reserve(m.labels.labels().size());
        float code = 0.0f;
        for (const std::string& label : m.labels.labels()) f.labels.push_back({++code, label});
        f.firstText = std::move(m.firstText);
        f.firstTextRow = m.firstTextRow;
    }
    return facts;
}

}  // namespace corvane
