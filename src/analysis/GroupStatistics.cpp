#include "analysis/GroupStatistics.h"

#include <algorithm>
#include <cmath>

#include "common/Single.h"

namespace corvane {

GroupPair ExtractGroups(const DataMatrix& data, std::int32_t cases, std::int32_t dependent,
                        std::int32_t grouping, float code1, float code2) {
    GroupPair pair;
    for (std::int32_t i = 1; i <= cases; ++i) {
        const float y = data.at(i, dependent);
        const float c = data.at(i, grouping);
        if (IsMissing(y)) continue;
        if (c == code1) {
            pair.group1.push_back(y);
        } else if (c == code2) {
            pair.group2.push_back(y);
        }
    }
    return pair;
}

std::int32_t TrimCount(std::int32_t n) {
    return static_cast<std::int32_t>(static_cast<double>(n) * static_cast<double>(kTrimProportion));
}

bool GroupStatsFromSums(const RunningSums& sums, float low, float high, std::int32_t n,
                        GroupStats& out) {
    out = GroupStats{};
    out.n = n;
    if (n < 2) return true;  // never asked for: both groups are checked for two values first
    SingleStore store;
    for (float sum : {sums.s, sums.q, sums.st, sums.qt}) store(sum);

    const std::int32_t g = TrimCount(n);
    const double dn = n;
    const double bessel = dn / static_cast<double>(n - 1);
    out.mean = store(static_cast<double>(sums.s) / dn);
    const double mean = out.mean;
    out.variance = store((static_cast<double>(sums.q) / dn - mean * mean) * bessel);
    out.trimmedMean = store(static_cast<double>(sums.st) / static_cast<double>(n - 2 * g));

    const double lo = low, hi = high, dg = g;
    const float wMean = store((dg * lo + static_cast<double>(sums.st) + dg * hi) / dn);
    const float qw = store((dg * (lo * lo) + static_cast<double>(sums.qt)) + dg * (hi * hi));
    const double wm = wMean;
    out.winsorizedVariance = store((static_cast<double>(qw) / dn - wm * wm) * bessel);
    return !store.overflowed();
}

bool ComputeGroupStatsPresorted(const float* drawOrder, const float* ascending, std::int32_t n,
                                GroupStats& out) {
    if (n < 2) return GroupStatsFromSums({}, 0.0f, 0.0f, n, out);
    RunningSums sums;
    for (std::int32_t j = 0; j < n; ++j) {
        const double x = drawOrder[j];
        sums.s = static_cast<float>(static_cast<double>(sums.s) + x);
        sums.q = static_cast<float>(static_cast<double>(sums.q) + x * x);
    }
    const std::int32_t g = TrimCount(n);
    for (std::int32_t j = g; j < n - g; ++j) {
        const double x = ascending[j];
        sums.st = static_cast<float>(static_cast<double>(sums.st) + x);
        sums.qt = static_cast<float>(static_cast<double>(sums.qt) + x * x);
    }
    return GroupStatsFromSums(sums, ascending[g], ascending[n - g - 1], n, out);
}

bool ComputeGroupStats(const GroupSample& sample, GroupStats& out, std::vector<float>& sorted) {
    sorted.assign(sample.begin(), sample.end());
    std::stable_sort(sorted.begin(), sorted.end());
    return ComputeGroupStatsPresorted(sample.data(), sorted.data(),
                                      static_cast<std::int32_t>(sample.size()), out);
}

bool ComputeEffectSizes(const GroupStats& g1, const GroupStats& g2, int chosenGroup,
                        EffectSizes& out) {
    SingleStore store;
    const double w1 = g1.n - 1, w2 = g2.n - 1;
    const double denominator = static_cast<double>(g1.n) + g2.n - 2;
    out.pooledVariance = store((w2 * g2.variance + w1 * g1.variance) / denominator);
    out.pooledWinsorizedVariance =
        store((w2 * g2.winsorizedVariance + w1 * g1.winsorizedVariance) / denominator);

    const GroupStats& k = chosenGroup == 2 ? g2 : g1;
    if (k.variance > 0.0f) {
        out.d = store((static_cast<double>(g2.mean) - g1.mean) /
                      std::sqrt(static_cast<double>(k.variance)));
    } else {
        out.d = kMissing;
    }
    if (k.winsorizedVariance > 0.0f) {
        out.robustD =
            store(std::sqrt(0.4129) * (static_cast<double>(g2.trimmedMean) - g1.trimmedMean) /
                  std::sqrt(static_cast<double>(k.winsorizedVariance)));
    } else {
        out.robustD = kMissing;
    }
    return !store.overflowed();
}

}  // namespace corvane
