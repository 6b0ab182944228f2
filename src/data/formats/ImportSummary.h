#pragma once

#include <cstdint>
#include <string>

#include "data/DataSet.h"

namespace corvane {

// The summary appended to the output pane after a successful import: three lines, one more
// when the file gave the variable names, and one saying what the file was read as when its
// format was detected. The first and the names line follow the family of file read.
std::string ImportSummary(const std::string& path, std::int32_t cases, std::int32_t variables,
                          bool namesRead = false, const std::string& readAs = {},
                          DataSource source = DataSource::TextFile);

}  // namespace corvane
