#include "analysis/BootstrapTrials.h"

#include <algorithm>
#include <optional>

#include "common/ParallelWork.h"
#include "common/Single.h"

namespace corvane {

namespace {

// What one thread holds: the counts of the two groups' resamples for the trial it runs, and
// its overflow, if a trial of its own met one.
struct TrialCounts {
    ResampleCounts group1, group2;
    std::optional<BootstrapError> failure;
};

// Trial t: draws both resamples from the trial's own stream, group 1's first, and takes their
// effect sizes. False on an overflow, which goes into `counts.failure`.
bool RunTrial(const GroupResampler& group1, const GroupResampler& group2, std::uint64_t seed,
              int chosenGroup, std::int32_t t, TrialCounts& counts, EffectSizes& sizes) {
    auto fail = [&](int group, Checked c) {
        counts.failure =
            BootstrapError{BootstrapError::Kind::Overflow, group, c.overflow, c.estimate, t};
        return false;
    };
    UniformGenerator rng = UniformGenerator::ForStream(seed, static_cast<std::uint64_t>(t));
    group1.draw(rng, counts.group1);
    group2.draw(rng, counts.group2);
    GroupStats stats1, stats2;
    const Checked c1 = group1.resampleStats(counts.group1, stats1);
    const Checked c2 = group2.resampleStats(counts.group2, stats2);
    if (!c1) return fail(1, c1);
    if (!c2) return fail(2, c2);
    if (const Checked c = ComputeEffectSizes(stats1, stats2, chosenGroup, sizes); !c) {
        return fail(chosenGroup, c);
    }
    return true;
}

}  // namespace

Result<TrialValues, BootstrapError> RunTrials(const GroupResampler& group1,
                                              const GroupResampler& group2, std::uint64_t seed,
                                              std::int32_t trials, int chosenGroup,
                                              const ProgressCallback& progress,
                                              const RunOptions& options) {
    const auto count = static_cast<std::size_t>(std::max(trials, 0));
    TrialValues values;
    for (std::vector<float>& column : values.values) column.assign(count, kMissing);
    // Memory grows with the threads, not with the trials.
    std::vector<TrialCounts> states(WorkerThreads(options.threads, count));
    for (TrialCounts& s : states) s = {group1.emptyCounts(), group2.emptyCounts(), {}};

    // Each trial writes only its own elements, whatever thread runs it.
    auto trial = [&](TrialCounts& counts, std::size_t piece) {
        EffectSizes sizes;
        const auto t = static_cast<std::int32_t>(piece + 1);
        if (!RunTrial(group1, group2, seed, chosenGroup, t, counts, sizes)) return false;
        for (std::size_t e = 0; e < kEstimateCount; ++e) values.values[e][piece] = sizes.values[e];
        return true;
    };
    std::size_t shown = 0;
    PieceProgress report;
    if (progress) {
        report = [&](std::size_t done) {
            shown = done;
            progress(static_cast<std::int32_t>(done));
        };
    }
    const ParallelOutcome outcome = RunPieces(count, states, trial, options.cancel, report);

    if (outcome.cancelled) return BootstrapError{BootstrapError::Kind::Cancelled};
    if (outcome.failedPiece) {
        // The earliest failed trial, whichever thread ran it; each thread fails at most once.
        const auto t = static_cast<std::int32_t>(*outcome.failedPiece + 1);
        for (const TrialCounts& s : states) {
            if (s.failure && s.failure->trial == t) return *s.failure;
        }
    }
    if (progress && shown < count) progress(trials);
    return values;
}

}  // namespace corvane
