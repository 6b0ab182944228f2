#include "data/formats/text/ReadDelimitedText.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>

#include "common/Single.h"
#include "data/OpenDataFile.h"
#include "data/TableBuilder.h"
#include "data/formats/text/DelimitedFields.h"
#include "data/formats/text/FirstPass.h"
#include "data/formats/text/LineReader.h"
#include "data/formats/text/SecondPass.h"
#include "data/formats/text/TextDialect.h"

namespace corvane {

namespace {

// An invalid entry in a file the delimiter left in one column suggests the delimiter the file
// seems to use instead.
ImportError WithDelimiterHint(ImportError e, const FileOutline& outline, char delimiter) {
    if (e.kind == ImportError::Kind::InvalidEntry && outline.maxFields <= 1 &&
        outline.records >= 2) {
        e.likelyDelimiter =
            LikelyDelimiter(outline.firstLines[0], outline.firstLines[1], delimiter);
    }
    return e;
}

// Names, labels and first texts read from a file in the Windows code page, as UTF-8.
void DecodeWindows1252(DataSet::Contents& set) {
    for (std::string& name : set.names) name = Windows1252ToUtf8(name);
    for (VariableFacts& f : set.facts) {
        for (ValueLabel& l : f.labels) l.text = Windows1252ToUtf8(l.text);
        f.firstText = Windows1252ToUtf8(f.firstText);
    }
}

// A delimiter the user chose misreads the file when it splits the lines into differing counts
// of fields, or leaves a table (whose text would make a text column rather than fail) in one
// column with no other delimiter to hint at, while detection finds another dialect that splits
// every sampled line alike: the cells would shift or merge.
std::optional<ImportError> MisreadByChoice(const std::string& path, char chosen,
                                           const FileOutline& outline) {
    const bool uneven = outline.minFields != outline.maxFields;
    const bool oneColumn =
        outline.maxFields == 1 && outline.namesLine &&
        !(outline.records >= 2 &&
          LikelyDelimiter(outline.firstLines[0], outline.firstLines[1], chosen) != 0);
    if (!uneven && !oneColumn) return std::nullopt;
    auto sample = SampleTextFile(path);
    if (!sample || sample.value().binary) return std::nullopt;
    const TextDialect found = SniffTextDialect(sample.value(), chosen);
    if (found.delimiter == chosen && !found.alignedColumns && !found.decimalComma)
        return std::nullopt;
    if (!ReadsAlike(sample.value(), found)) return std::nullopt;
    ImportError e = ImportError::Of(ImportError::Kind::MisreadDelimiter);
    e.reason = DescribeTextLayout(found);
    return e;
}

Result<DataSet, ImportError> ReadText(const std::string& path, const TextDialect& dialect,
                                      const ImportOptions& options, bool chosen) {
    using Kind = ImportError::Kind;
    const char delimiter = dialect.delimiter;
    auto outlined = RunFirstPass(path, dialect, options.chunkBytes);
    if (!outlined) return outlined.error();
    const FileOutline& outline = outlined.value();
    if (chosen) {
        if (auto e = MisreadByChoice(path, delimiter, outline)) return std::move(*e);
    }
    if (outline.records > std::numeric_limits<std::int32_t>::max()) {
        return ImportError::Of(Kind::TooManyLines);
    }
    const auto cases = static_cast<std::int32_t>(outline.records - (outline.namesLine ? 1 : 0));
    const auto storedColumns = static_cast<std::int32_t>(
        std::min<std::int64_t>(outline.maxFields, DataMatrix::kMaxVariables));
    // A cell no field reaches, past the end of a shorter line or on a blank line, is missing.
    DataMatrix matrix(cases, storedColumns, kMissing);

    if (options.betweenPasses) options.betweenPasses(path);

    auto file = OpenDataFile(path);
    if (!file) return file.error();
    const int fd = ::fileno(file.value().get());
    if (DataStartOffset(fd, SkippedLines(dialect)) != outline.chunks.front().begin)
        return ImportError::Of(Kind::FileChanged);
    // A table the delimiter left in one column, whose first lines another delimiter splits, is
    // read as numbers only, so that its text meets the hint rather than making a text column.
    const bool textColumns =
        outline.namesLine &&
        !(outline.maxFields <= 1 && outline.records >= 2 &&
          LikelyDelimiter(outline.firstLines[0], outline.firstLines[1], delimiter) != 0);
    TableBuilder table;
    auto read = RunSecondPass(fd, dialect, outline, options.threads, textColumns, matrix, table);
    if (!read) return WithDelimiterHint(read.error(), outline, delimiter);
    if (read->variables != storedColumns) return ImportError::Of(Kind::FileChanged);

    DataSet::Contents set =
        std::move(table).finish(std::move(matrix), cases, read->variables, std::move(read->names));
    if (dialect.encoding == TextEncoding::Windows1252) DecodeWindows1252(set);
    return DataSet(std::move(set));
}

}  // namespace

Result<DataSet, ImportError> ReadDelimitedText(const std::string& path, char delimiter,
                                               const ImportOptions& options) {
    TextDialect dialect;
    dialect.delimiter = delimiter;
    return ReadText(path, dialect, options, true);
}

Result<DataSet, ImportError> ReadDelimitedText(const std::string& path, const TextDialect& dialect,
                                               const ImportOptions& options) {
    return ReadText(path, dialect, options, false);
}

}  // namespace corvane
