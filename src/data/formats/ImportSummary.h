#pragma once

#include <cstdint>
#include <string>

namespace corvane {

// The summary appended to the output pane after a successful import: three lines, one more
// when the first line gave the variable names, and one saying what the file was read as when
// its format was detected.
std::string ImportSummary(const std::string& path, std::int32_t cases, std::int32_t variables,
                          bool namesRead = false, const std::string& readAs = {});

}  // namespace corvane
