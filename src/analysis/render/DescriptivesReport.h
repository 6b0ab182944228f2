#pragma once

#include <string>
#include <vector>

#include "analysis/Descriptives.h"

namespace corvane {

// The table; a variable with a name from the file's first line shows it in the Name column,
// cut to 9 characters like every cell.
std::string BuildDescriptivesReport(const std::vector<DescriptiveRow>& rows,
                                    const std::vector<std::string>& names = {});

}  // namespace corvane
