#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "common/Result.h"
#include "data/DataMatrix.h"

namespace corvane {

struct ImportError {
    enum class Kind {
        InvalidEntry,    // row, column
        NumberTooLarge,  // row, column
        TooManyFields,   // row
        TooManyLines,
        Unreadable,      // reason
        FileChanged,
        OutOfMemory,
    };
    Kind kind;
    std::int64_t row = 0;
    std::int64_t column = 0;
    std::string reason;
};

// The text the user is shown for an import that failed.
std::string ImportErrorText(const ImportError& e, const std::string& path);

// Reads a delimited data file twice: once to count its lines (and the most fields on any line,
// so the matrix is allocated once at its final size), once to split and classify every field.
// A line ends at CR LF, a lone CR or a lone LF. Nothing is changed on failure: the caller
// replaces its data set only with a successful result.
Result<DataSet, ImportError> ImportDataFile(const std::string& path, char delimiter);

// Test seam: when set, called with the path after the first pass has closed the file and
// before the second pass opens it, so tests can change the file in between.
void SetImportBetweenPassesHook(std::function<void(const std::string&)> hook);

// The three-line summary appended to the output pane after a successful import.
std::string ImportSummary(const std::string& path, std::int32_t cases, std::int32_t variables);

}  // namespace corvane
