#include "analysis/Bootstrap.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "common/Single.h"

namespace corvane {

namespace {

// Resamples one group. The observed values are sorted once; a resample's ascending order comes
// from counting how often each sorted position was drawn and walking the sorted values with
// those counts, so no trial sorts. The draw-order copy feeds the running sums S and Q.
class GroupResampler {
  public:
    explicit GroupResampler(const GroupSample& observed)
        : m_observed(observed),
          m_n(static_cast<std::int32_t>(observed.size())),
          m_sorted(observed.size()),
          m_rank(observed.size()),
          m_counts(observed.size()),
          m_draw(observed.size()),
          m_ascending(observed.size()) {
        std::vector<std::int32_t> order(observed.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
                         [&](std::int32_t a, std::int32_t b) { return observed[a] < observed[b]; });
        for (std::size_t k = 0; k < order.size(); ++k) {
            m_sorted[k] = observed[order[k]];
            m_rank[order[k]] = static_cast<std::int32_t>(k);
        }
    }

    // Trial 0: the observed sample itself.
    bool observedStats(GroupStats& out) const {
        return ComputeGroupStatsPresorted(m_observed.data(), m_sorted.data(), m_n, out);
    }

    // Draws n positions p = ceil(u * n) in ascending order of j, then computes the statistics.
    bool resampleStats(UniformGenerator& rng, GroupStats& out) {
        std::fill(m_counts.begin(), m_counts.end(), 0);
        const double dn = m_n;
        for (std::int32_t j = 0; j < m_n; ++j) {
            auto p = static_cast<std::int32_t>(std::ceil(rng.next() * dn));
            p = std::clamp(p, 1, m_n);
            m_draw[j] = m_observed[p - 1];
            ++m_counts[m_rank[p - 1]];
        }
        float* out_it = m_ascending.data();
        for (std::int32_t k = 0; k < m_n; ++k) {
            for (std::int32_t c = m_counts[k]; c > 0; --c) *out_it++ = m_sorted[k];
        }
        return ComputeGroupStatsPresorted(m_draw.data(), m_ascending.data(), m_n, out);
    }

  private:
    const GroupSample& m_observed;
    std::int32_t m_n;
    std::vector<float> m_sorted;         // observed values, ascending, stable
    std::vector<std::int32_t> m_rank;    // sorted position of each observed position
    std::vector<std::int32_t> m_counts;  // draws per sorted position, this trial
    std::vector<float> m_draw;           // this trial's values in draw order
    std::vector<float> m_ascending;      // the same values ascending
};

}  // namespace

PercentilePositions PercentilePositionsFor(std::int32_t m, float level) {
    const double a = (1.0 - static_cast<double>(level)) / 2.0;
    const std::int64_t tail = std::llround(a * static_cast<double>(m));
    return {tail, tail + 1, static_cast<std::int64_t>(m) - tail};
}

Interval PercentileInterval(const std::vector<float>& store, std::int32_t m, float level) {
    // The sorted store is zero-filled like the store, so m = 0 reads (0, 0).
    std::vector<float> sorted(store.size(), 0.0f);
    const auto count = std::min<std::size_t>(static_cast<std::size_t>(std::max(m, 0)),
                                             store.empty() ? 0 : store.size() - 1);
    std::copy(store.begin() + 1, store.begin() + 1 + static_cast<std::ptrdiff_t>(count),
              sorted.begin() + 1);
    std::stable_sort(sorted.begin() + 1, sorted.begin() + 1 + static_cast<std::ptrdiff_t>(count));
    const PercentilePositions pos = PercentilePositionsFor(m, level);
    auto read = [&](std::int64_t i) {
        return i >= 0 && static_cast<std::size_t>(i) < sorted.size() ? sorted[i] : 0.0f;
    };
    return {read(pos.lower), read(pos.upper)};
}

Result<BootstrapResult, BootstrapError> RunBootstrap(const GroupSample& group1,
                                                     const GroupSample& group2,
                                                     const BootstrapSettings& settings,
                                                     UniformGenerator& rng,
                                                     const ProgressCallback& progress) {
    using Kind = BootstrapError::Kind;
    BootstrapResult result;
    result.trials = settings.trials;

    GroupResampler r1(group1), r2(group2);
    if (!r1.observedStats(result.group1) || !r2.observedStats(result.group2) ||
        !ComputeEffectSizes(result.group1, result.group2, settings.chosenGroup, result.observed)) {
        return BootstrapError{Kind::Overflow};
    }
    const GroupStats& chosen = settings.chosenGroup == 2 ? result.group2 : result.group1;
    if (!(chosen.variance > 0.0f)) {
        return BootstrapError{Kind::ZeroVariance, settings.chosenGroup == 2 ? 2 : 1};
    }

    const auto slots = static_cast<std::size_t>(std::max(settings.trials, 0)) + 1;
    std::vector<float> dStore(slots, 0.0f), robustStore(slots, 0.0f);
    GroupStats s1, s2;
    EffectSizes es;
    for (std::int32_t t = 1; t <= settings.trials; ++t) {
        if (progress) progress(t);
        if (!r1.resampleStats(rng, s1) || !r2.resampleStats(rng, s2) ||
            !ComputeEffectSizes(s1, s2, settings.chosenGroup, es)) {
            return BootstrapError{Kind::Overflow};
        }
        if (!IsMissing(es.d)) dStore[++result.validD] = es.d;
        if (!IsMissing(es.robustD)) robustStore[++result.validRobustD] = es.robustD;
    }
    result.dInterval = PercentileInterval(dStore, result.validD, settings.level);
    result.robustDInterval = PercentileInterval(robustStore, result.validRobustD, settings.level);
    return result;
}

}  // namespace corvane
