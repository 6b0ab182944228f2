#pragma once

#include <cstdint>
#include <string>

#include "analysis/Bootstrap.h"

namespace corvane {

// The fixed-layout report of one effect-size analysis, CR LF line ends, ending in five empty
// lines.
std::string BuildReport(const BootstrapResult& result, const BootstrapSettings& settings,
                        std::int32_t dependent, std::int32_t grouping);

}  // namespace corvane
