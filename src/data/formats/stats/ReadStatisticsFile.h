#pragma once

#include <cstdint>
#include <string>

#include "common/Result.h"
#include "data/DataSet.h"
#include "data/ImportError.h"
#include "data/formats/stats/StatFileKind.h"

namespace corvane {

// Reads an SPSS (.sav, .zsav, .por), Stata (.dta) or SAS (.sas7bdat, .xpt) file through
// ReadStat, the format told by the file's first bytes and else by its extension.
//
// Each variable keeps the file's name. Numbers are stored in single precision; value labels
// become the variable's labels with the file's own codes. String variables and dates and times
// (told by their display format) become text variables, dates and times written as ISO text;
// their firstTextRow counts a case as the row after a names line would (case 1 is row 2).
// System-missing values, SPSS user-missing values and ranges, and Stata and SAS tagged missing
// values (.a to .z) are missing, as is an empty string. A string holding a control character is
// an invalid entry, as in every reader.
//
// A file that is not a regular file, a pipe or a device, is refused before it is opened. A
// file cut short fails as "the file ends before its data does", one whose content is not the
// format its name says as "the file is named .sav but holds text, not an SPSS data file", a
// damaged or unsupported one as Unreadable with ReadStat's reason; memory grows with the cases
// that arrive, never with a count the file claims.
Result<DataSet, ImportError> ReadStatisticsFile(const std::string& path);

// The same for a file whose format is already known (not None).
Result<DataSet, ImportError> ReadStatisticsFile(const std::string& path, StatFileKind kind);
// The same for a file whose format and size (`fileBytes`) were learnt from its head already.
Result<DataSet, ImportError> ReadStatisticsFile(const std::string& path, StatFileKind kind,
                                                std::int64_t fileBytes);

}  // namespace corvane
