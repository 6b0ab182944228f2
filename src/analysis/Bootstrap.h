#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "analysis/Estimates.h"
#include "analysis/GroupStatistics.h"
#include "analysis/GroupValues.h"
#include "analysis/IntervalMethod.h"
#include "common/ParallelWork.h"
#include "common/Result.h"

namespace corvane {

struct BootstrapSettings {
    std::int32_t trials = 600;
    float level = 0.95f;
    int chosenGroup = 1;
    IntervalMethod method = IntervalMethod::Percentile;  // of every estimate's interval
};

// One estimate of a run: its observed value, its bootstrap trials and its interval.
struct Estimate {
    EstimateKind kind = EstimateKind::D;
    float observed = 0;  // the missing code when undefined
    // Every attempted trial's value in trial order (element t - 1 for trial t), the missing code
    // for an undefined one; the same for every thread count.
    std::vector<float> trials;
    std::int32_t valid = 0;  // the defined trials, which the interval is read from
    IntervalMethod method = IntervalMethod::Percentile;  // the one the interval was read by
    Interval interval;
    // Where BCa was asked for and could not be read: why, the method being Percentile.
    BcaFallback fallback = BcaFallback::None;

    const EstimateDescription& description() const { return Describe(kind); }
};

struct BootstrapResult {
    GroupStats group1;
    GroupStats group2;
    float pooledVariance = 0;
    float pooledWinsorizedVariance = 0;
    std::int32_t trials = 0;
    std::uint64_t seed = 0;  // the one that draws these trials again
    // One per row of kEstimates, in its order.
    std::vector<Estimate> estimates;

    const Estimate& estimate(EstimateKind kind) const { return estimates.at(IndexOf(kind)); }
};

struct BootstrapError {
    enum class Kind { ZeroVariance, Overflow, Cancelled };
    Kind kind;
    int group = 0;                   // the chosen group, or the group whose result overflowed
    Overflow what = Overflow::None;  // for Overflow: the result out of range
    EstimateKind estimate = EstimateKind::D;  // for Overflow::Estimate: which one
    std::int32_t trial = 0;                   // for Overflow: 0 for the observed sample
};

// Progress: called with the number of completed bootstrap trials, always on the thread that
// called RunBootstrap (never on a worker, never twice at once), with counts that only grow, at
// least every 50 ms while trials complete; a run that completes ends with a call with T.
using ProgressCallback = std::function<void(std::int32_t)>;

struct RunOptions {
    unsigned threads = 0;  // 0: one per core
    const CancelToken* cancel = nullptr;
};

// The bootstrap. Trial t draws Group 1's resample and then Group 2's from the stream
// UniformGenerator::ForStream(seed, t), so a seed gives the same result for any number of
// threads: n positions of the group's ascending copy, or, for a group of few distinct values
// against its size, the counts of its distinct values (GroupResampler). Each thread holds the
// counts of one trial, so memory grows with the threads, not the trials.
Result<BootstrapResult, BootstrapError> RunBootstrap(
    const GroupValues& group1, const GroupValues& group2, const BootstrapSettings& settings,
    std::uint64_t seed, const ProgressCallback& progress = {}, const RunOptions& options = {});

// The same over two samples held in memory.
Result<BootstrapResult, BootstrapError> RunBootstrap(
    const GroupSample& group1, const GroupSample& group2, const BootstrapSettings& settings,
    std::uint64_t seed, const ProgressCallback& progress = {}, const RunOptions& options = {});

}  // namespace corvane
