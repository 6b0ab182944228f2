#pragma once

#include <string>

#include "common/Result.h"
#include "data/DataSet.h"
#include "data/ImportError.h"
#include "data/formats/FormatRegistry.h"
#include "data/formats/sheets/Workbook.h"
#include "data/formats/text/ImportOptions.h"

namespace corvane {

// What the delimiter argument of ImportDataFile takes to detect how a file is written.
inline constexpr char kDetectFormat = 0;

// The row of `formats` that reads the file at `path`, told by its first bytes and else by its
// extension; the first row (delimited text) when neither tells or the file cannot be read.
const FormatRow& DetectDataFile(const std::string& path,
                                const FormatRegistry& formats = FormatRegistry::Builtin());

// Reads a data file into a new data set. With a delimiter, the file is read as text with that
// delimiter, as it always was. With kDetectFormat, the file's head is read once and the reader
// of its format (see DetectDataFile) reads it: a workbook (its sheet `sheet`, the first by
// default), a statistics file, or delimited text whose delimiter, decimal comma and code page
// are sniffed; the data set then says what it was read as (DataSet::readAs). Nothing is changed
// on failure: the caller replaces its data set only with a successful result. Whatever the
// thread count, the result and the error are those of reading the file front to back.
Result<DataSet, ImportError> ImportDataFile(
    const std::string& path, char delimiter, const ImportOptions& options = {},
    const SheetChoice& sheet = {}, const FormatRegistry& formats = FormatRegistry::Builtin());

}  // namespace corvane
