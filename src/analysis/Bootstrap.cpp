#include "analysis/Bootstrap.h"

#include <algorithm>
#include <cmath>

#include "common/Single.h"

namespace corvane {

namespace {

// The sums of a resample in the accuracy rule's own form, walking the counts twice: S first,
// then the squared deviations about S / n. For resamples far from the shifts.
GroupSums SumsAboutOwnMeans(const float* sorted, const std::uint32_t* counts, std::int64_t n,
                            std::int64_t g, double lo, double hi) {
    GroupSums out;
    const std::int64_t keepEnd = n - g;
    std::int64_t cum = 0;
    for (std::int64_t k = 0; k < n; ++k) {
        const std::int64_t c = counts[k];
        const double v = sorted[k];
        const auto kc = std::clamp(cum + c, g, keepEnd) - std::clamp(cum, g, keepEnd);
        out.s += static_cast<double>(c) * v;
        out.t += static_cast<double>(kc) * v;
        cum += c;
    }
    const double dn = static_cast<double>(n), dg = static_cast<double>(g);
    const double m = out.s / dn;
    const double wm = ((dg * lo + out.t) + dg * hi) / dn;
    out.wd = dg * ((lo - wm) * (lo - wm));
    cum = 0;
    for (std::int64_t k = 0; k < n; ++k) {
        const std::int64_t c = counts[k];
        const double v = sorted[k];
        const auto kc = std::clamp(cum + c, g, keepEnd) - std::clamp(cum, g, keepEnd);
        out.d += static_cast<double>(c) * ((v - m) * (v - m));
        out.wd += static_cast<double>(kc) * ((v - wm) * (v - wm));
        cum += c;
    }
    out.wd += dg * ((hi - wm) * (hi - wm));
    return out;
}

// One observed group: its values sorted once, the shifts its resamples are summed about, and
// the draw counts of the current resample.
//
// A resample draws n positions with replacement. Drawing a position of the ascending copy
// instead of a case position is the same resampling distribution: every observed value is
// equally likely at every draw either way. Counting the drawn positions yields the resample's
// ascending order directly, so no trial sorts and no draw reads the data.
class GroupResampler {
  public:
    explicit GroupResampler(const GroupSample& observed)
        : m_observed(observed),
          m_n(static_cast<std::int64_t>(observed.size())),
          m_sorted(observed.begin(), observed.end()),
          m_counts(observed.size(), 0) {
        std::stable_sort(m_sorted.begin(), m_sorted.end());
        if (m_n < 2) return;
        const std::int64_t g = TrimCount(m_n);
        double s = 0, t = 0;
        for (std::int64_t k = 0; k < m_n; ++k) s += m_sorted[k];
        for (std::int64_t k = g; k < m_n - g; ++k) t += m_sorted[k];
        const double dn = static_cast<double>(m_n), dg = static_cast<double>(g);
        m_meanShift = s / dn;
        m_winsorizedShift =
            ((dg * m_sorted[g] + t) + dg * m_sorted[static_cast<std::size_t>(m_n - g - 1)]) / dn;
    }

    // Trial 0: the observed sample itself, by the rule.
    Checked observedStats(GroupStats& out) const {
        return ComputeGroupStatsPresorted(m_observed.data(), m_sorted.data(), m_n, out);
    }

    // Draws n positions p = ceil(u * n) of the ascending copy and counts them.
    void draw(UniformGenerator& rng) {
        const double dn = static_cast<double>(m_n);
        std::uint32_t* counts = m_counts.data();
        for (std::int64_t j = 0; j < m_n; ++j) {
            auto p = static_cast<std::int64_t>(std::ceil(rng.next() * dn));
            p = std::clamp<std::int64_t>(p, 1, m_n);
            ++counts[p - 1];
        }
    }

    // The statistics of the drawn resample; clears the counts for the next one.
    Checked resampleStats(GroupStats& out) {
        const GroupSums sums =
            SumsFromCounts(m_sorted.data(), m_counts.data(), m_n, m_meanShift, m_winsorizedShift);
        std::fill(m_counts.begin(), m_counts.end(), 0u);
        return GroupStatsFromSums(sums, m_n, out);
    }

  private:
    const GroupSample& m_observed;
    std::int64_t m_n;
    std::vector<float> m_sorted;          // observed values, ascending
    std::vector<std::uint32_t> m_counts;  // draws per ascending position, this trial
    double m_meanShift = 0;
    double m_winsorizedShift = 0;
};

}  // namespace

GroupSums SumsFromCounts(const float* sorted, const std::uint32_t* counts, std::int64_t n,
                         double meanShift, double winsorizedShift) {
    if (n < 2) return {};
    const std::int64_t g = TrimCount(n), keepEnd = n - g, loAt = g, hiAt = n - g - 1;
    const double a = meanShift, b = winsorizedShift;
    // One pass: the sums of x - a and (x - a)^2 over all values, of y - b and (y - b)^2 over the
    // kept positions g+1 .. n-g of the resample's ascending order, and the two values the
    // Winsorized sample repeats.
    double s1 = 0, s2 = 0, t1 = 0, t2 = 0, lo = 0, hi = 0;
    std::int64_t cum = 0;
    for (std::int64_t k = 0; k < n; ++k) {
        const std::int64_t c = counts[k];
        const double v = sorted[k];
        const double x = v - a, y = v - b;
        const double dc = static_cast<double>(c);
        const auto kc =
            static_cast<double>(std::clamp(cum + c, g, keepEnd) - std::clamp(cum, g, keepEnd));
        s1 += dc * x;
        s2 += (dc * x) * x;
        t1 += kc * y;
        t2 += (kc * y) * y;
        lo = cum <= loAt && loAt < cum + c ? v : lo;
        hi = cum <= hiAt && hiAt < cum + c ? v : hi;
        cum += c;
    }
    const double dn = static_cast<double>(n), dg = static_cast<double>(g);
    GroupSums out;
    out.s = s1 + dn * a;
    out.d = s2 - s1 * s1 / dn;
    out.t = t1 + static_cast<double>(n - 2 * g) * b;
    const double w1 = (dg * (lo - b) + t1) + dg * (hi - b);
    const double w2 = (dg * ((lo - b) * (lo - b)) + t2) + dg * ((hi - b) * (hi - b));
    out.wd = w2 - w1 * w1 / dn;
    // The shifted form subtracts n times the squared distance of the resample's mean from the
    // shift; while that is at most half of the sum of squares, the difference keeps nearly full
    // precision. Beyond it (a resample of nearly equal values, a constant one among them, which
    // must give exactly 0) the sums are taken again about the resample's own means.
    if (!(out.d >= 0.5 * s2) || !(out.wd >= 0.5 * w2)) {
        return SumsAboutOwnMeans(sorted, counts, n, g, lo, hi);
    }
    return out;
}

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
    const int chosen = settings.chosenGroup == 2 ? 2 : 1;
    BootstrapResult result;
    result.trials = settings.trials;

    GroupResampler r1(group1), r2(group2);
    auto overflow = [](int group, Checked c, std::int32_t trial) {
        return BootstrapError{Kind::Overflow, group, c.overflow, trial};
    };
    if (const Checked c = r1.observedStats(result.group1); !c) return overflow(1, c, 0);
    if (const Checked c = r2.observedStats(result.group2); !c) return overflow(2, c, 0);
    if (const Checked c = ComputeEffectSizes(result.group1, result.group2, chosen, result.observed);
        !c) {
        return overflow(chosen, c, 0);
    }
    const GroupStats& chosenStats = chosen == 2 ? result.group2 : result.group1;
    if (!(chosenStats.variance > 0.0f)) return BootstrapError{Kind::ZeroVariance, chosen};

    const auto slots = static_cast<std::size_t>(std::max(settings.trials, 0)) + 1;
    std::vector<float> dStore(slots, 0.0f), robustStore(slots, 0.0f);
    for (std::int32_t t = 1; t <= settings.trials; ++t) {
        if (progress) progress(t);
        r1.draw(rng);
        r2.draw(rng);
        GroupStats s1, s2;
        EffectSizes es;
        if (const Checked c = r1.resampleStats(s1); !c) return overflow(1, c, t);
        if (const Checked c = r2.resampleStats(s2); !c) return overflow(2, c, t);
        if (const Checked c = ComputeEffectSizes(s1, s2, chosen, es); !c) {
            return overflow(chosen, c, t);
        }
        if (!IsMissing(es.d)) dStore[static_cast<std::size_t>(++result.validD)] = es.d;
        if (!IsMissing(es.robustD)) {
            robustStore[static_cast<std::size_t>(++result.validRobustD)] = es.robustD;
        }
    }
    result.dInterval = PercentileInterval(dStore, result.validD, settings.level);
    result.robustDInterval = PercentileInterval(robustStore, result.validRobustD, settings.level);
    return result;
}

}  // namespace corvane
