#pragma once

#include <cstdint>
#include <string>

namespace corvane {

// The summary appended to the output pane after a successful import: three lines, and a
// fourth when the first line gave the variable names.
std::string ImportSummary(const std::string& path, std::int32_t cases, std::int32_t variables,
                          bool namesRead = false);

}  // namespace corvane
