#pragma once

#include <string>

#include "common/Result.h"
#include "data/DataSet.h"
#include "data/ImportError.h"
#include "data/formats/ImportOptions.h"

namespace corvane {

// Reads a data file into a new data set; today every file is read as delimited text (see
// ReadDelimitedText). Nothing is changed on failure: the caller replaces its data set only
// with a successful result. Whatever the thread count, the result and the error are those of
// reading the file front to back: the first faulty field in file order is the one reported.
Result<DataSet, ImportError> ImportDataFile(const std::string& path, char delimiter,
                                            const ImportOptions& options = {});

}  // namespace corvane
