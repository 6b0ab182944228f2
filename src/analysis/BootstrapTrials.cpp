#include "analysis/BootstrapTrials.h"

#include <optional>

#include "common/ParallelWork.h"
#include "common/Single.h"

namespace corvane {

namespace {

// What one thread holds: the draw counts of the two groups for the trial it runs, all 0
// between trials, and its overflow, if a trial of its own met one.
struct TrialCounts {
    DrawCounts group1, group2;
    std::optional<BootstrapError> failure;
};

}  // namespace

Result<TrialValues, BootstrapError> RunTrials(const GroupResampler& group1,
                                              const GroupResampler& group2, std::uint64_t seed,
                                              std::int32_t trials, int chosenGroup,
                                              const ProgressCallback& progress,
                                              const RunOptions& options) {
    const auto count = static_cast<std::size_t>(std::max(trials, 0));
    TrialValues values{std::vector<float>(count, kMissing), std::vector<float>(count, kMissing)};
    // Memory grows with the threads, not with the trials.
    std::vector<TrialCounts> states(WorkerThreads(options.threads, count));
    for (TrialCounts& s : states) s = {DrawCounts(group1.size()), DrawCounts(group2.size()), {}};

    auto trial = [&](TrialCounts& state, std::size_t piece) {
        const auto t = static_cast<std::int32_t>(piece + 1);
        auto fail = [&](int group, Checked c) {
            state.failure = BootstrapError{BootstrapError::Kind::Overflow, group, c.overflow, t};
            return false;
        };
        UniformGenerator rng = UniformGenerator::ForStream(seed, static_cast<std::uint64_t>(t));
        state.group1.draw(rng);
        state.group2.draw(rng);
        GroupStats stats1, stats2;
        EffectSizes sizes;
        const Checked c1 = group1.resampleStats(state.group1, stats1);
        const Checked c2 = group2.resampleStats(state.group2, stats2);
        if (!c1) return fail(1, c1);
        if (!c2) return fail(2, c2);
        if (const Checked c = ComputeEffectSizes(stats1, stats2, chosenGroup, sizes); !c) {
            return fail(chosenGroup, c);
        }
        values.d[piece] = sizes.d;
        values.robustD[piece] = sizes.robustD;
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
        const auto t = static_cast<std::int32_t>(*outcome.failedPiece + 1);
        for (const TrialCounts& s : states) {
            if (s.failure && s.failure->trial == t) return *s.failure;
        }
    }
    if (progress && shown < count) progress(trials);
    return values;
}

}  // namespace corvane
