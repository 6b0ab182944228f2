#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/AnalysisError.h"
#include "common/Result.h"
#include "data/DataMatrix.h"
#include "data/DataSet.h"

namespace corvane {

// One row of the descriptives table. Empty optionals are shown as ".", and left blank for a
// text variable, whose codes have no mean.
struct DescriptiveRow {
    std::int32_t variable = 0;
    std::optional<double> mean;  // rounded to 3 decimals
    std::optional<double> sd;    // rounded to 3 decimals
    std::optional<float> min;
    std::optional<float> max;
    std::int32_t n = 0;
    bool text = false;
};

// The statistics of one variable over cases 1..cases: the sum and the squared deviations
// about S / N in double precision, in row order. Sums of single values cannot overflow a double.
DescriptiveRow ComputeDescriptiveRow(const DataMatrix& data, std::int32_t cases,
                                     std::int32_t variable);

// The whole analysis: the "nothing ticked" failure, or the rows of the report.
Result<std::vector<DescriptiveRow>, AnalysisError> ComputeDescriptives(
    const DataMatrix& data, std::int32_t cases, const std::vector<std::int32_t>& variables);

// The same over a data set, where a text variable's row counts its cells and nothing more.
Result<std::vector<DescriptiveRow>, AnalysisError> ComputeDescriptives(
    const DataSet& data, const std::vector<std::int32_t>& variables);

}  // namespace corvane
