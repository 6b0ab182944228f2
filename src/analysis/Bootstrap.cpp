#include "analysis/Bootstrap.h"

#include <optional>
#include <utility>

#include "analysis/BootstrapTrials.h"
#include "analysis/GroupResampler.h"
#include "analysis/Jackknife.h"
#include "common/Single.h"

namespace corvane {

namespace {

// The defined values among the trials' effect sizes, in trial order.
std::vector<float> DefinedValues(const std::vector<float>& trialValues) {
    std::vector<float> defined;
    defined.reserve(trialValues.size());
    for (float v : trialValues) {
        if (!IsMissing(v)) defined.push_back(v);
    }
    return defined;
}

// The values of a group as a sample of its own, for the jackknife to sort.
GroupSample Copied(const GroupValues& group) {
    GroupSample sample;
    sample.reserve(static_cast<std::size_t>(group.size()));
    group.forEach([&](float v) { sample.push_back(v); });
    return sample;
}

// The leave-one-out groups BCa reads, taken once for every estimate and only when one asks:
// only then are the groups copied out of the matrix.
class Jackknives {
  public:
    Jackknives(const GroupValues& group1, const GroupValues& group2)
        : m_group1(group1), m_group2(group2) {}

    std::optional<double> acceleration(const EstimateDescription& e, const BootstrapResult& r,
                                       int chosen) {
        if (m_left1.empty()) {
            m_left1 = LeaveOneOut(Copied(m_group1));
            m_left2 = LeaveOneOut(Copied(m_group2));
        }
        return JackknifeAcceleration(e.formula, m_left1, m_left2, r.group1.exact, r.group2.exact,
                                     chosen);
    }

  private:
    const GroupValues& m_group1;
    const GroupValues& m_group2;
    std::vector<LeftOut> m_left1, m_left2;
};

}  // namespace

Result<BootstrapResult, BootstrapError> RunBootstrap(
    const GroupValues& group1, const GroupValues& group2, const BootstrapSettings& settings,
    std::uint64_t seed, const ProgressCallback& progress, const RunOptions& options) {
    const int chosen = settings.chosenGroup == 2 ? 2 : 1;
    auto overflow = [](int group, Checked c) {
        return BootstrapError{BootstrapError::Kind::Overflow, group, c.overflow, c.estimate, 0};
    };
    BootstrapResult result;
    result.trials = settings.trials;
    result.seed = seed;

    // Trial 0: the observed groups, each prepared once for all the trials (sorted, or tallied
    // into its distinct values).
    std::optional<GroupResampler> sorted1, sorted2;
    PrepareGroups(group1, group2, WorkerThreads(options.threads, 2), DrawChoice::ByRule, sorted1,
                  sorted2);
    if (const Checked c = sorted1->observedStats(result.group1); !c) return overflow(1, c);
    if (const Checked c = sorted2->observedStats(result.group2); !c) return overflow(2, c);
    EffectSizes observed;
    if (const Checked c = ComputeEffectSizes(result.group1, result.group2, chosen, observed); !c) {
        return overflow(chosen, c);
    }
    const GroupStats& chosenStats = chosen == 2 ? result.group2 : result.group1;
    if (!(chosenStats.exact.variance > 0)) {
        return BootstrapError{BootstrapError::Kind::ZeroVariance, chosen};
    }
    result.pooledVariance = observed.pooledVariance;
    result.pooledWinsorizedVariance = observed.pooledWinsorizedVariance;

    auto trials = RunTrials(*sorted1, *sorted2, seed, settings.trials, chosen, progress, options);
    if (!trials) return trials.error();
    Jackknives jackknives(group1, group2);
    for (const EstimateDescription& e : kEstimates) {
        Estimate estimate;
        estimate.kind = e.kind;
        estimate.observed = observed[e.kind];
        estimate.trials = std::move(trials->values[IndexOf(e.kind)]);
        std::vector<float> defined = DefinedValues(estimate.trials);
        estimate.valid = static_cast<std::int32_t>(defined.size());
        BcaInputs bca{estimate.observed, std::nullopt};
        if (settings.method == IntervalMethod::BCa && !IsMissing(estimate.observed)) {
            bca.acceleration = jackknives.acceleration(e, result, chosen);
        }
        const IntervalOutcome read =
            ComputeInterval(settings.method, std::move(defined), settings.level, bca);
        estimate.method = read.method;
        estimate.interval = read.interval;
        estimate.fallback = read.fallback;
        result.estimates.push_back(std::move(estimate));
    }
    return result;
}

Result<BootstrapResult, BootstrapError> RunBootstrap(
    const GroupSample& group1, const GroupSample& group2, const BootstrapSettings& settings,
    std::uint64_t seed, const ProgressCallback& progress, const RunOptions& options) {
    return RunBootstrap(GroupValues(group1), GroupValues(group2), settings, seed, progress,
                        options);
}

}  // namespace corvane
