#include "analysis/Descriptives.h"

#include <cmath>

#include "common/NumberText.h"
#include "common/Single.h"

namespace corvane {

DescriptiveRow ComputeDescriptiveRow(const DataMatrix& data, std::int32_t cases,
                                     std::int32_t variable) {
    DescriptiveRow row;
    row.variable = variable;
    float minimum = 0.0f, maximum = 0.0f;
    double sum = 0.0;
    std::int32_t n = 0;
    // 64-bit counters: the loops must end when cases is the largest 32-bit count.
    auto cell = [&](std::int64_t i) { return data.at(static_cast<std::int32_t>(i), variable); };

    // The extremes start from the first present value of the column.
    std::int64_t first = 1;
    while (first <= cases && IsMissing(cell(first))) ++first;
    if (first <= cases) minimum = maximum = cell(first);

    for (std::int64_t i = 1; i <= cases; ++i) {
        const float x = cell(i);
        if (IsMissing(x)) continue;
        sum += static_cast<double>(x);
        ++n;
        if (x < minimum) {
            minimum = x;
        } else if (x > maximum) {
            maximum = x;
        }
    }

    row.n = n;
    if (n >= 1) {
        row.mean = Round3(sum / n);
        row.min = minimum;
        row.max = maximum;
    }
    if (n >= 2) {
        const double m = sum / n;
        double squares = 0.0;
        for (std::int64_t i = 1; i <= cases; ++i) {
            const float x = cell(i);
            if (IsMissing(x)) continue;
            const double e = static_cast<double>(x) - m;
            squares += e * e;
        }
        row.sd = Round3(std::sqrt(squares / (n - 1)));
    }
    return row;
}

Result<std::vector<DescriptiveRow>, AnalysisError> ComputeDescriptives(
    const DataMatrix& data, std::int32_t cases, const std::vector<std::int32_t>& variables) {
    if (variables.empty()) return AnalysisError{AnalysisError::Kind::NothingTicked};
    std::vector<DescriptiveRow> rows;
    rows.reserve(variables.size());
    for (std::int32_t v : variables) {
        rows.push_back(ComputeDescriptiveRow(data, cases, v));
    }
    return rows;
}

Result<std::vector<DescriptiveRow>, AnalysisError> ComputeDescriptives(
    const DataSet& data, const std::vector<std::int32_t>& variables) {
    auto rows = ComputeDescriptives(data.matrix(), data.cases(), variables);
    if (!rows) return rows;
    for (DescriptiveRow& row : rows.value()) {
        if (!data.isText(row.variable)) continue;
        row = DescriptiveRow{row.variable, {}, {}, {}, {}, row.n, true};
    }
    return rows;
}

}  // namespace corvane
