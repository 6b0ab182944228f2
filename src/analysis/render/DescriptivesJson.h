#pragma once

#include <string>
#include <vector>

#include "analysis/Descriptives.h"
#include "data/DataSet.h"

namespace corvane {

// The batch tool's JSON document of a descriptives run over `data`, naming the data file as
// `file`: one object per row, a name only when the file's first line names variables.
std::string DescriptivesJson(const std::vector<DescriptiveRow>& rows, const DataSet& data,
                             const std::string& file);

}  // namespace corvane
