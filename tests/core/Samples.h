#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "analysis/GroupStatistics.h"

namespace corvane::test {

// from, from + step, ... up to `to`.
inline GroupSample Range(int from, int to, int step = 1) {
    GroupSample s;
    for (int v = from; v <= to; v += step) s.push_back(static_cast<float>(v));
    return s;
}

// The distinct values of `sorted` and how often each occurs.
inline std::pair<std::vector<float>, std::vector<std::int64_t>> Distinct(
    const GroupSample& sorted) {
    std::vector<float> values;
    std::vector<std::int64_t> counts;
    for (float v : sorted) {
        if (values.empty() || v != values.back()) values.push_back(v), counts.push_back(0);
        ++counts.back();
    }
    return {values, counts};
}

// The sort as first written, the reference for every faster one: each value's place is the
// number of values strictly smaller plus the equal values at earlier positions, over all pairs.
inline std::vector<float> RankCountSort(const GroupSample& x) {
    std::vector<float> out(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
        std::size_t place = 0;
        for (std::size_t j = 0; j < x.size(); ++j) {
            if (x[j] < x[i] || (x[j] == x[i] && j < i)) ++place;
        }
        out[place] = x[i];
    }
    return out;
}

// The statistics of one group in case order, sorted here; `sorted` is scratch.
inline Checked ComputeGroupStats(const GroupSample& sample, GroupStats& out,
                                 std::vector<float>& sorted) {
    sorted.assign(sample.begin(), sample.end());
    std::stable_sort(sorted.begin(), sorted.end());
    return ComputeGroupStatsPresorted(sample.data(), sorted.data(),
                                      static_cast<std::int64_t>(sample.size()), out);
}

// Equal to the bit: -0 and +0 differ, as the reference paths must not.
inline bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The same statistics, bit for bit.
inline bool SameStats(const GroupStats& a, const GroupStats& b) {
    return a.n == b.n && SameBits(a.mean, b.mean) && SameBits(a.trimmedMean, b.trimmedMean) &&
           SameBits(a.variance, b.variance) && SameBits(a.winsorizedVariance, b.winsorizedVariance);
}

}  // namespace corvane::test
