#include "analysis/GroupStatistics.h"

#include <algorithm>
#include <cmath>

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
    SingleStore pooled, d, robust;
    const GroupMoments &m1 = g1.exact, &m2 = g2.exact;
    const double weight1 = g1.n - 1, weight2 = g2.n - 1;  // each group's degrees of freedom
    const double denominator = static_cast<double>(g1.n) + g2.n - 2;
    out.pooledVariance = pooled((weight2 * m2.variance + weight1 * m1.variance) / denominator);
    out.pooledWinsorizedVariance =
        pooled((weight2 * m2.winsorizedVariance + weight1 * m1.winsorizedVariance) / denominator);

    // Both effect sizes are standardized by the chosen group's spread.
    const GroupMoments& chosen = chosenGroup == 2 ? m2 : m1;
    out.d = chosen.variance > 0 ? d((m2.mean - m1.mean) / std::sqrt(chosen.variance)) : kMissing;
    // The 20% Winsorized variance of the standard normal distribution is 0.4121, and sqrt(0.4121)
    // = 0.642 is the rescaling Algina, Keselman and Penfield published: the Winsorized SD over it
    // estimates the SD for normal data, so robust d estimates what d does. The program has always
    // used sqrt(0.4129) = 0.6426 instead, and keeps it, because published results rest on it.
    out.robustD = chosen.winsorizedVariance > 0
                      ? robust((std::sqrt(0.4129) * (m2.trimmedMean - m1.trimmedMean)) /
                               std::sqrt(chosen.winsorizedVariance))
                      : kMissing;
    if (d.overflowed()) return {Overflow::D};
    if (robust.overflowed()) return {Overflow::RobustD};
    if (pooled.overflowed()) return {Overflow::Values};
    return {};
}

}  // namespace corvane
