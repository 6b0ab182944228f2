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
    SingleStore values, variance, winsorized;
    out.mean = values(sums.s / dn);
    out.trimmedMean = values(sums.t / kept);
    out.variance = variance(sums.d / bessel);
    out.winsorizedVariance = winsorized(sums.wd / bessel);
    if (variance.overflowed()) return {Overflow::Variance};
    if (winsorized.overflowed()) return {Overflow::WinsorizedVariance};
    if (values.overflowed()) return {Overflow::Values};
    return {};
}

Checked ComputeGroupStatsPresorted(const float* caseOrder, const float* ascending, std::int64_t n,
                                   GroupStats& out) {
    GroupSums sums;
    if (n < 2) return GroupStatsFromSums(sums, n, out);
    for (std::int64_t j = 0; j < n; ++j) sums.s += static_cast<double>(caseOrder[j]);
    const double m = sums.s / static_cast<double>(n);
    for (std::int64_t j = 0; j < n; ++j) {
        const double e = static_cast<double>(caseOrder[j]) - m;
        sums.d += e * e;
    }

    const std::int64_t g = TrimCount(n);
    for (std::int64_t j = g; j < n - g; ++j) sums.t += static_cast<double>(ascending[j]);
    const double lo = ascending[g], hi = ascending[n - g - 1], dg = static_cast<double>(g);
    const double wm = ((dg * lo + sums.t) + dg * hi) / static_cast<double>(n);
    sums.wd = dg * ((lo - wm) * (lo - wm));
    for (std::int64_t j = g; j < n - g; ++j) {
        const double e = static_cast<double>(ascending[j]) - wm;
        sums.wd += e * e;
    }
    sums.wd += dg * ((hi - wm) * (hi - wm));
    return GroupStatsFromSums(sums, n, out);
}

Checked ComputeGroupStats(const GroupSample& sample, GroupStats& out, std::vector<float>& sorted) {
    sorted.assign(sample.begin(), sample.end());
    std::stable_sort(sorted.begin(), sorted.end());
    return ComputeGroupStatsPresorted(sample.data(), sorted.data(),
                                      static_cast<std::int64_t>(sample.size()), out);
}

Checked ComputeEffectSizes(const GroupStats& g1, const GroupStats& g2, int chosenGroup,
                           EffectSizes& out) {
    SingleStore pooled, d, robust;
    const double w1 = g1.n - 1, w2 = g2.n - 1;
    const double denominator = static_cast<double>(g1.n) + g2.n - 2;
    out.pooledVariance = pooled((w2 * g2.variance + w1 * g1.variance) / denominator);
    out.pooledWinsorizedVariance =
        pooled((w2 * g2.winsorizedVariance + w1 * g1.winsorizedVariance) / denominator);

    const GroupStats& k = chosenGroup == 2 ? g2 : g1;
    if (k.variance > 0.0f) {
        out.d = d((static_cast<double>(g2.mean) - g1.mean) /
                  std::sqrt(static_cast<double>(k.variance)));
    } else {
        out.d = kMissing;
    }
    if (k.winsorizedVariance > 0.0f) {
        out.robustD =
            robust(std::sqrt(0.4129) * (static_cast<double>(g2.trimmedMean) - g1.trimmedMean) /
                   std::sqrt(static_cast<double>(k.winsorizedVariance)));
    } else {
        out.robustD = kMissing;
    }
    if (d.overflowed()) return {Overflow::D};
    if (robust.overflowed()) return {Overflow::RobustD};
    if (pooled.overflowed()) return {Overflow::Values};
    return {};
}

}  // namespace corvane
