#include "analysis/GroupStatistics.h"

#include <algorithm>
#include <cmath>

#include "analysis/Estimates.h"
#include "common/Single.h"

namespace corvane {

GroupPair ExtractGroups(const DataMatrix& data, std::int32_t cases, std::int32_t dependent,
                        std::int32_t grouping, float code1, float code2) {
    GroupPair pair;
    // A 64-bit counter: the loop must end when cases is the largest 32-bit count.
    for (std::int64_t i = 1; i <= cases; ++i) {
        const auto row = static_cast<std::int32_t>(i);
        const float y = data.at(row, dependent);
        const float c = data.at(row, grouping);
        if (IsMissing(y)) continue;
        if (c == code1) {
            pair.group1.push_back(y);
        } else if (c == code2) {
            pair.group2.push_back(y);
        }
    }
    return pair;
}

std::int64_t TrimCount(std::int64_t n) {
    return static_cast<std::int64_t>(static_cast<double>(n) * static_cast<double>(kTrimProportion));
}

Checked GroupStatsFromSums(const GroupSums& sums, std::int64_t n, GroupStats& out) {
    out = GroupStats{};
    out.n = static_cast<std::int32_t>(n);
    if (n < 2) return {};  // never asked for: both groups are checked for two values first
    const double dn = static_cast<double>(n);
    const double kept = static_cast<double>(n - 2 * TrimCount(n));
    const double bessel = static_cast<double>(n - 1);
    GroupMoments& m = out.exact;
    m.mean = sums.sum / dn;
    m.trimmedMean = sums.trimmedSum / kept;
    m.variance = sums.squaredDeviations / bessel;
    m.winsorizedVariance = sums.winsorizedSquaredDeviations / bessel;
    SingleStore values, variance, winsorized;
    out.mean = values(m.mean);
    out.trimmedMean = values(m.trimmedMean);
    out.variance = variance(m.variance);
    out.winsorizedVariance = winsorized(m.winsorizedVariance);
    if (variance.overflowed()) return {Overflow::Variance};
    if (winsorized.overflowed()) return {Overflow::WinsorizedVariance};
    if (values.overflowed()) return {Overflow::Values};
    return {};
}

Checked ComputeGroupStatsPresorted(const float* caseOrder, const float* ascending, std::int64_t n,
                                   GroupStats& out) {
    GroupSums sums;
    if (n < 2) return GroupStatsFromSums(sums, n, out);
    AddCaseOrderSums(
        [&](auto f) {
            for (std::int64_t j = 0; j < n; ++j) f(caseOrder[j]);
        },
        n, sums);
    AddAscendingSums(
        [&](std::int64_t from, std::int64_t to, auto f) {
            for (std::int64_t j = from; j < to; ++j) f(ascending[j]);
        },
        n, sums);
    return GroupStatsFromSums(sums, n, out);
}

Checked ComputeEffectSizes(const GroupStats& g1, const GroupStats& g2, int chosenGroup,
                           EffectSizes& out) {
    SingleStore pooled;
    const GroupMoments &m1 = g1.exact, &m2 = g2.exact;
    const double weight1 = g1.n - 1, weight2 = g2.n - 1;  // each group's degrees of freedom
    const double denominator = static_cast<double>(g1.n) + g2.n - 2;
    out.pooledVariance = pooled((weight2 * m2.variance + weight1 * m1.variance) / denominator);
    out.pooledWinsorizedVariance =
        pooled((weight2 * m2.winsorizedVariance + weight1 * m1.winsorizedVariance) / denominator);

    // Every estimate is standardized by the chosen group's spread.
    const GroupMoments& chosen = chosenGroup == 2 ? m2 : m1;
    Checked checked;
    for (const EstimateDescription& e : kEstimates) {
        SingleStore store;
        const std::optional<double> value = e.formula(m1, m2, chosen);
        out.values[IndexOf(e.kind)] = value ? store(*value) : kMissing;
        if (store.overflowed() && checked) checked = {Overflow::Estimate, e.kind};
    }
    if (!checked) return checked;
    if (pooled.overflowed()) return {Overflow::Values};
    return {};
}

}  // namespace corvane
