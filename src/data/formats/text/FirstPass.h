#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/Result.h"
#include "data/ImportError.h"
#include "data/formats/text/RecordReader.h"
#include "data/formats/text/TextDialect.h"

namespace corvane {

// One piece of the second pass: the records [firstRecord, endRecord) of the data (from 1, a
// names line included), which start at the byte offsets [begin, end) (end < 0: to the end of
// the file); the first starts on line firstLine of the file, as messages count lines.
struct Chunk {
    std::int64_t begin, end;
    std::int64_t firstRecord, endRecord;
    std::int64_t firstLine;
    RecordSyntax syntax;  // whether a record of the piece spans lines
};

// What the first pass learns of a delimited file.
struct FileOutline {
    std::int64_t records = 0;    // a line each, or several when a quoted field holds line ends
    std::int64_t maxFields = 0;  // the most fields in any record, so the matrix is sized once
    std::int64_t minFields = 0;  // the fewest in a nonempty one
    bool namesLine = false;
    std::string firstLines[2];  // the first two records, kept for the delimiter hint when short
    std::vector<Chunk> chunks;  // the first starts past a byte-order mark and skipped lines
};

// Reads the file once, front to back, following quoted fields across lines, and cuts it at
// record starts into pieces of about chunkBytes. The file is closed again when this returns.
// A separator line and notes lines are no part of the data; names in Windows-1252 are names
// too.
Result<FileOutline, ImportError> RunFirstPass(const std::string& path, const TextDialect& dialect,
                                              std::int64_t chunkBytes);

}  // namespace corvane
