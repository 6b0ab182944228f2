#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/Result.h"
#include "data/ImportError.h"
#include "data/formats/text/TextDialect.h"

namespace corvane {

// One piece of the second pass: the lines [firstLine, endLine) of the file, which start at
// the byte offsets [begin, end) (end < 0: to the end of the file).
struct Chunk {
    std::int64_t begin, end;
    std::int64_t firstLine, endLine;
};

// What the first pass learns of a delimited file.
struct FileOutline {
    std::int64_t lines = 0;
    std::int64_t maxFields = 0;  // the most fields on any line, so the matrix is sized once
    std::int64_t minFields = 0;  // the fewest on a nonempty line
    bool namesLine = false;
    std::string firstLines[2];  // kept for the delimiter hint, when short enough
    std::vector<Chunk> chunks;  // the first starts past a byte-order mark
};

// Reads the file once, front to back, and cuts it at line starts into pieces of about
// chunkBytes. The file is closed again when this returns.
// With a separator line the file's first line is no part of the data; names in Windows-1252
// are names too.
Result<FileOutline, ImportError> RunFirstPass(const std::string& path, const TextDialect& dialect,
                                              std::int64_t chunkBytes);

}  // namespace corvane
