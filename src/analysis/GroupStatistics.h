#pragma once

#include <cstdint>
#include <vector>

#include "data/DataMatrix.h"

namespace corvane {

// The values of one group, in case order.
using GroupSample = std::vector<float>;

struct GroupStats {
    std::int32_t n = 0;
    float mean = 0;
    float trimmedMean = 0;
    float variance = 0;
    float winsorizedVariance = 0;
};

struct EffectSizes {
    float pooledVariance = 0;
    float pooledWinsorizedVariance = 0;
    float d = 0;        // 9999999 when undefined
    float robustD = 0;  // 9999999 when undefined
};

struct GroupPair {
    GroupSample group1;
    GroupSample group2;
};

inline constexpr float kTrimProportion = 0.2f;
inline constexpr std::int32_t kMinGroupSize = 2;

// Cases 1..cases in order: a missing dependent cell skips the case; otherwise code 1 is tested
// before code 2.
GroupPair ExtractGroups(const DataMatrix& data, std::int32_t cases, std::int32_t dependent,
                        std::int32_t grouping, float code1, float code2);

// The four running sums of one sample, each rounded to single precision after every addition:
// S and Q in draw order, ST and QT over the kept positions g+1 .. n-g of the ascending order.
struct RunningSums {
    float s = 0, q = 0, st = 0, qt = 0;
};

// The trimming count g: the integer part of n times the widened single-precision 0.2.
std::int32_t TrimCount(std::int32_t n);

// The statistics of n >= 2 values from their running sums and the two values the Winsorized
// sample repeats (ascending positions g+1 and n-g). Returns false when a sum or a stored result
// is not finite: a running sum that overflowed once stays infinite.
bool GroupStatsFromSums(const RunningSums& sums, float low, float high, std::int32_t n,
                        GroupStats& out);

// The statistics of one group. Returns false when a stored value overflowed single precision.
// `sorted` is the caller's scratch buffer for the ascending copy, so bootstrap trials reuse it.
bool ComputeGroupStats(const GroupSample& sample, GroupStats& out, std::vector<float>& sorted);

// The same, from values already in ascending (stable) order: the running sums S and Q in
// `drawOrder`, the trimmed sums over `ascending`. Both hold the same multiset of values.
bool ComputeGroupStatsPresorted(const float* drawOrder, const float* ascending, std::int32_t n,
                                GroupStats& out);

// Pooled variances and both effect sizes, standardized by the chosen group (1 or 2).
// Returns false when a stored value overflowed single precision.
bool ComputeEffectSizes(const GroupStats& g1, const GroupStats& g2, int chosenGroup,
                        EffectSizes& out);

}  // namespace corvane
