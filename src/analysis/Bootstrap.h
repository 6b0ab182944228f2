#pragma once

#include <atomic>
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
    // Every attempted trial's effect sizes in trial order (element t - 1 for trial t), the
    // missing code for an undefined one; the same for every thread count.
    std::vector<float> trialD;
    std::vector<float> trialRobustD;
};

struct BootstrapError {
    enum class Kind { ZeroVariance, Overflow, Cancelled };
    Kind kind;
    int group = 0;                   // the chosen group, or the group whose result overflowed
    Overflow what = Overflow::None;  // for Overflow: the result out of range
    std::int32_t trial = 0;          // for Overflow: 0 for the observed sample
};

// Progress: called with the number of completed bootstrap trials, always on the thread that
// called RunBootstrap (never on a worker, never twice at once), with counts that only grow, at
// least every 50 ms while trials complete; a run that completes ends with a call with T.
using ProgressCallback = std::function<void(std::int32_t)>;

// Set from any thread to stop a run: the workers stop within a trial and the run returns the
// Cancelled error.
class CancelToken {
  public:
    void cancel() { m_cancelled.store(true, std::memory_order_relaxed); }
    bool cancelled() const { return m_cancelled.load(std::memory_order_relaxed); }

  private:
    std::atomic<bool> m_cancelled{false};
};

struct RunOptions {
    unsigned threads = 0;  // 0: one per core
    const CancelToken* cancel = nullptr;
};

// The number of threads a run with `requested` threads uses: one per core for 0.
unsigned BootstrapThreads(unsigned requested);

// The bootstrap. Trial t draws Group 1's positions and then Group 2's from the stream
// UniformGenerator::ForStream(generator.seed(), t), so a seed gives the same result for any
// number of threads; the generator's own state is not used. Each thread holds the draw counts
// of one trial, so memory grows with the threads, not the trials.
Result<BootstrapResult, BootstrapError> RunBootstrap(const GroupSample& group1,
                                                     const GroupSample& group2,
                                                     const BootstrapSettings& settings,
                                                     const UniformGenerator& generator,
                                                     const ProgressCallback& progress = {},
                                                     const RunOptions& options = {});

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
