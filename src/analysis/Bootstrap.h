#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "analysis/GroupStatistics.h"
#include "common/ParallelWork.h"
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

// The 1-based position ceil(u * n) of the ascending copy that the draw u =
// UniformGenerator::ToUnit(bits) picks, with `nScaled` = n / 2^52. u * n is taken as
// (k + 0.5) * nScaled: a power of two moves between the factors without changing the rounded
// product, and one multiplication per draw is saved.
inline std::int64_t DrawnPosition(std::uint64_t bits, double nScaled) {
    const double x = (static_cast<double>(bits >> 12) + 0.5) * nScaled;
    // For 0 < x, ceil(x) is the truncation of x, plus one when x has a fraction; the library's
    // ceil is a function call on the baseline instruction set, and this runs once per draw.
    // No clamp is needed: (k + 0.5) / 2^52 lies strictly inside (0, 1), so the exact product
    // lies strictly inside (0, n), and rounding it to the nearest double cannot pass n, which
    // is a double itself; ceil then gives 1 to n.
    auto p = static_cast<std::int64_t>(x);
    p += static_cast<double>(p) < x ? 1 : 0;
    return p;
}

// The draw counts of one resample, one byte per position of the ascending copy: a position
// drawn 256 times or more is also listed in the spill list once for every 256 of its draws. At
// n draws over n positions a count above 255 all but never occurs, so the walk reads the bytes
// alone, and a group of a million values keeps its counts in 1 MB rather than 4.
class DrawCounts {
  public:
    explicit DrawCounts(std::size_t positions = 0) : m_low(positions, 0) {}

    std::size_t size() const { return m_low.size(); }
    // One more draw of the 0-based `position`.
    void add(std::size_t position) {
        if (++m_low[position] == 0) spill(position);
    }
    // Draws the positions of one resample of size() values from `rng` and counts them.
    void draw(UniformGenerator& rng);
    void clear();

    const std::uint8_t* low() const { return m_low.data(); }
    // The spilled positions in the order their 256th draws came.
    const std::vector<std::uint32_t>& spill() const { return m_spill; }

  private:
    void spill(std::size_t position);

    std::vector<std::uint8_t> m_low;
    std::vector<std::uint32_t> m_spill;
};

// The sums of one resample given as draw counts per position of the ascending copy `sorted`
// of the observed values (n of them, the counts adding up to n). The walk runs once over the
// ascending values, summing about the fixed `shift` (the observed Winsorized mean suits), and
// falls back to sums about the resample's own means when the shift would cost accuracy. Every
// sum is within 1e-12 (relative) of the one taken by ComputeGroupStatsPresorted over the same
// values.
GroupSums SumsFromCounts(const float* sorted, const std::uint32_t* counts, std::int64_t n,
                         double shift);
// The same from byte counts with their spill list; the same sums as from the full counts.
GroupSums SumsFromCounts(const float* sorted, const DrawCounts& counts, double shift);

// The percentile interval of slots 1..m of `store` (slot 0 unused) at level c.
Interval PercentileInterval(const std::vector<float>& store, std::int32_t m, float level);

// Tail count and the two 1-based positions read by PercentileInterval.
struct PercentilePositions {
    std::int64_t tail, lower, upper;
};
PercentilePositions PercentilePositionsFor(std::int32_t m, float level);

}  // namespace corvane
