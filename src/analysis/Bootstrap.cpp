#include "analysis/Bootstrap.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "common/Single.h"

namespace corvane {

namespace {

// One observed position: its value and its place in the ascending order, side by side so a
// draw touches one cache line.
struct Cell {
    float value;
    std::int32_t rank;
};

// Draws n positions p = ceil(u * n) from `cells`, counting each drawn sorted position and adding
// S and Q; meanwhile adds the m values of `kept` to another resample's ST and QT. The two sets
// of sums are independent rounding chains, so the processor overlaps them.
void DrawAndTrim(UniformGenerator& rng, const Cell* cells, std::int32_t n, std::int32_t* counts,
                 RunningSums& drawn, const float* kept, std::int32_t m, RunningSums& trimmed) {
    const double dn = n;
    float s = drawn.s, q = drawn.q, st = trimmed.st, qt = trimmed.qt;
    auto draw = [&] {
        auto p = static_cast<std::int32_t>(std::ceil(rng.next() * dn));
        p = std::clamp(p, 1, n);
        const Cell c = cells[p - 1];
        ++counts[c.rank];
        const double x = c.value;
        s = static_cast<float>(static_cast<double>(s) + x);
        q = static_cast<float>(static_cast<double>(q) + x * x);
    };
    auto trim = [&](std::int32_t j) {
        const double x = kept[j];
        st = static_cast<float>(static_cast<double>(st) + x);
        qt = static_cast<float>(static_cast<double>(qt) + x * x);
    };
    const std::int32_t both = std::min(n, m);
    std::int32_t j = 0;
    for (; j < both; ++j) {
        draw();
        trim(j);
    }
    for (std::int32_t k = j; k < n; ++k) draw();
    for (std::int32_t k = j; k < m; ++k) trim(k);
    drawn.s = s;
    drawn.q = q;
    trimmed.st = st;
    trimmed.qt = qt;
}

// Resamples one group. The observed values are sorted once; a resample's ascending order comes
// from counting how often each sorted position was drawn and walking the sorted values with
// those counts, so no trial sorts. S and Q are taken in draw order as the values are drawn.
class GroupResampler {
  public:
    // A value drawn more often than this is written out by a loop; below it, by four stores.
    static constexpr std::int32_t kSpill = 4;

    explicit GroupResampler(const GroupSample& observed)
        : m_observed(observed),
          m_n(static_cast<std::int32_t>(observed.size())),
          m_g(TrimCount(m_n)),
          m_cells(observed.size()),
          m_sorted(observed.size()),
          m_counts(observed.size(), 0),
          m_ascending(observed.size() + kSpill) {
        std::vector<std::int32_t> order(observed.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
                         [&](std::int32_t a, std::int32_t b) { return observed[a] < observed[b]; });
        for (std::size_t k = 0; k < order.size(); ++k) {
            m_sorted[k] = observed[order[k]];
            m_cells[order[k]] = {observed[order[k]], static_cast<std::int32_t>(k)};
        }
    }

    std::int32_t size() const { return m_n; }
    const Cell* cells() const { return m_cells.data(); }
    std::int32_t* counts() { return m_counts.data(); }

    // Trial 0: the observed sample itself.
    bool observedStats(GroupStats& out) const {
        return ComputeGroupStatsPresorted(m_observed.data(), m_sorted.data(), m_n, out);
    }

    // Writes this trial's values in ascending order from the counts, and clears the counts.
    void expand() {
        float* out = m_ascending.data();
        for (std::int32_t k = 0; k < m_n; ++k) {
            const std::int32_t c = m_counts[k];
            const float v = m_sorted[k];
            m_counts[k] = 0;
            if (c <= kSpill) {
                // Branch-free: a count of 0..4 writes four copies and keeps c of them.
                out[0] = v;
                out[1] = v;
                out[2] = v;
                out[3] = v;
            } else {
                std::fill(out, out + c, v);
            }
            out += c;
        }
    }

    // The kept positions g+1 .. n-g of the ascending order.
    const float* kept() const { return m_ascending.data() + m_g; }
    std::int32_t keptCount() const { return m_n < 2 ? 0 : m_n - 2 * m_g; }

    // The statistics from this trial's finished sums and its ascending values.
    bool finish(const RunningSums& sums, GroupStats& out) const {
        if (m_n < 2) return GroupStatsFromSums(sums, 0.0f, 0.0f, m_n, out);
        return GroupStatsFromSums(sums, m_ascending[static_cast<std::size_t>(m_g)],
                                  m_ascending[static_cast<std::size_t>(m_n - m_g - 1)], m_n, out);
    }

  private:
    const GroupSample& m_observed;
    std::int32_t m_n;
    std::int32_t m_g;                    // trimming count
    std::vector<Cell> m_cells;           // value and sorted position of each observed position
    std::vector<float> m_sorted;         // observed values, ascending, stable
    std::vector<std::int32_t> m_counts;  // draws per sorted position, this trial
    std::vector<float> m_ascending;      // this trial's values ascending (and kSpill spare)
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
    auto keep = [&](const GroupStats& a, const GroupStats& b) {
        EffectSizes es;
        if (!ComputeEffectSizes(a, b, settings.chosenGroup, es)) return false;
        if (!IsMissing(es.d)) dStore[++result.validD] = es.d;
        if (!IsMissing(es.robustD)) robustStore[++result.validRobustD] = es.robustD;
        return true;
    };

    // The trials are staggered by half a trial: while a group is drawn, the trimmed sums of the
    // group drawn before it (Group 2 of the previous trial, or Group 1 of this one) are added.
    // The draws keep their order; only the additions of independent sums interleave.
    GroupStats s1, s2;
    RunningSums sums1, sums2;
    for (std::int32_t t = 1; t <= settings.trials; ++t) {
        if (progress) progress(t);
        const bool pending = t > 1;  // Group 2 of trial t - 1 still lacks its trimmed sums
        sums1 = {};
        DrawAndTrim(rng, r1.cells(), r1.size(), r1.counts(), sums1, r2.kept(),
                    pending ? r2.keptCount() : 0, sums2);
        if (pending && (!r2.finish(sums2, s2) || !keep(s1, s2))) {
            return BootstrapError{Kind::Overflow};
        }
        r1.expand();
        sums2 = {};
        DrawAndTrim(rng, r2.cells(), r2.size(), r2.counts(), sums2, r1.kept(), r1.keptCount(),
                    sums1);
        // An overflow of Group 2's squares ends the run in this trial, as it would unstaggered.
        if (!r1.finish(sums1, s1) || !std::isfinite(sums2.s) || !std::isfinite(sums2.q)) {
            return BootstrapError{Kind::Overflow};
        }
        r2.expand();
    }
    if (settings.trials >= 1) {
        RunningSums none;
        DrawAndTrim(rng, r1.cells(), 0, r1.counts(), none, r2.kept(), r2.keptCount(), sums2);
        if (!r2.finish(sums2, s2) || !keep(s1, s2)) return BootstrapError{Kind::Overflow};
    }
    result.dInterval = PercentileInterval(dStore, result.validD, settings.level);
    result.robustDInterval = PercentileInterval(robustStore, result.validRobustD, settings.level);
    return result;
}

}  // namespace corvane
