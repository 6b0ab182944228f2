#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "common/Result.h"
#include "data/DataSet.h"

namespace corvane {

struct ImportError {
    enum class Kind {
        InvalidEntry,    // row, column
        NumberTooLarge,  // row, column
        TooManyFields,   // row
        TooManyLines,
        Unreadable,  // reason
        FileChanged,
        OutOfMemory,
    };
    Kind kind;
    std::int64_t row = 0;  // the line of the file, a names line counted
    std::int64_t column = 0;
    std::string reason;
    char likelyDelimiter = 0;  // for an invalid entry: the delimiter the file seems to use
};

// How the second pass shares its work: the file is cut at line starts into pieces of about
// chunkBytes, which `threads` threads (0: one per core) parse into their rows.
struct ImportOptions {
    unsigned threads = 0;
    std::int64_t chunkBytes = std::int64_t{4} << 20;
    // When set, called with the path after the first pass has closed the file and before the
    // second pass opens it: what a file changed by another program in between looks like.
    std::function<void(const std::string&)> betweenPasses = {};
};

// The text the user is shown for an import that failed.
std::string ImportErrorText(const ImportError& e, const std::string& path);

// Reads a delimited data file twice: once to count its lines (and the most fields on any line,
// so the matrix is allocated once at its final size), once to split and classify every field.
// A line ends at CR LF, a lone CR or a lone LF; a UTF-8 byte-order mark at the start is
// skipped. A first line of names (see ReadNamesLine) names the variables and the cases start
// on line 2. Nothing is changed on failure: the caller replaces its data set only with a
// successful result. Whatever the thread count, the result and the error are those of reading
// the file front to back: the first faulty field in file order is the one reported.
Result<DataSet, ImportError> ImportDataFile(const std::string& path, char delimiter,
                                            const ImportOptions& options = {});

// The summary appended to the output pane after a successful import: three lines, and a
// fourth when the first line gave the variable names.
std::string ImportSummary(const std::string& path, std::int32_t cases, std::int32_t variables,
                          bool namesRead = false);

}  // namespace corvane
