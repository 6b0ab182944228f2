#pragma once

#include <cstdint>
#include <string>

#include "common/Result.h"
#include "data/DataSet.h"
#include "data/ImportError.h"
#include "data/formats/rdata/RObject.h"

namespace corvane {

// Whether `o` is a data frame (a list of class "data.frame", a tibble or data.table too).
bool IsDataFrame(const RObject& o);
// A data frame's rows, from its row names (R writes 1..n as the pair NA, -n), or its first
// column's length.
std::int64_t DataFrameRows(const RObject& frame);

// What an object is, in the user's words: "a numeric vector", "a character matrix", "a factor",
// "an object of class "lm"", "a list".
std::string DescribeRObject(const RObject& o);

// A data frame (kept whole) as a data set. Numeric, integer and logical columns are numbers
// (TRUE 1, FALSE 0); a factor is its codes 1..L labelled with its levels; a labelled column
// (haven's) its numbers with its labels; character columns are text variables, Date and
// POSIXct columns ISO text ("2024-03-01", "2024-03-01 08:30:00", with " UTC" when the time is
// not written for UTC). NA, NaN and empty strings are missing. A column of any other kind or
// class is refused, naming it.
Result<DataSet, ImportError> DataFrameToDataSet(const RObject& frame);

}  // namespace corvane
