#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/Bootstrap.h"
#include "analysis/GroupChoice.h"

namespace corvane {

// The fixed-layout report of one effect-size analysis, CR LF line ends, ending in five empty
// lines. A variable with a name from the file's first line is named after its number; groups
// with labels are named by them on a line of their own.
std::string BuildReport(const BootstrapResult& result, const BootstrapSettings& settings,
                        std::int32_t dependent, std::int32_t grouping,
                        const std::vector<std::string>& names = {},
                        const ChosenGroups& groups = {});

}  // namespace corvane
