#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "analysis/GroupStatistics.h"
#include "common/Result.h"
#include "common/UniformGenerator.h"

namespace corvane {

struct BootstrapSettings {
    std::int32_t trials = 600;
    float level = 0.95f;
    int chosenGroup = 1;
};

struct Interval {
    float lower = 0;
    float upper = 0;
};

struct BootstrapResult {
    GroupStats group1;
    GroupStats group2;
    EffectSizes observed;
    std::int32_t trials = 0;
    std::int32_t validD = 0;
    std::int32_t validRobustD = 0;
    Interval dInterval;
    Interval robustDInterval;
};

struct BootstrapError {
    enum class Kind { ZeroVariance, Overflow };
    Kind kind;
    int group = 0;                   // the chosen group, or the group whose result overflowed
    Overflow what = Overflow::None;  // for Overflow: the result out of range
    std::int32_t trial = 0;          // for Overflow: 0 for the observed sample
};

// Called with t = 1..T before each bootstrap trial.
using ProgressCallback = std::function<void(std::int32_t)>;

Result<BootstrapResult, BootstrapError> RunBootstrap(const GroupSample& group1,
                                                     const GroupSample& group2,
                                                     const BootstrapSettings& settings,
                                                     UniformGenerator& rng,
                                                     const ProgressCallback& progress = {});

// The sums of one resample given as draw counts per position of the ascending copy `sorted`
// of the observed values (n of them, the counts adding up to n). The walk runs once over the
// ascending values, summing about the fixed shifts `meanShift` and `winsorizedShift` (the
// observed mean and Winsorized mean suit), and falls back to sums about the resample's own
// means when the shift would cost accuracy. Every sum is within 1e-12 (relative) of the one
// taken by ComputeGroupStatsPresorted over the same values.
GroupSums SumsFromCounts(const float* sorted, const std::uint32_t* counts, std::int64_t n,
                         double meanShift, double winsorizedShift);

// The percentile interval of slots 1..m of `store` (slot 0 unused) at level c.
Interval PercentileInterval(const std::vector<float>& store, std::int32_t m, float level);

// Tail count and the two 1-based positions read by PercentileInterval.
struct PercentilePositions {
    std::int64_t tail, lower, upper;
};
PercentilePositions PercentilePositionsFor(std::int32_t m, float level);

}  // namespace corvane
