#include "analysis/Bootstrap.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <thread>
#include <utility>

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

// One observed group: its values sorted once and the shifts its resamples are summed about.
// Read-only during the run, shared by every thread; each thread brings its own counts.
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
          m_sorted(observed.begin(), observed.end()) {
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

    std::size_t size() const { return static_cast<std::size_t>(m_n); }

    // Trial 0: the observed sample itself, by the rule.
    Checked observedStats(GroupStats& out) const {
        return ComputeGroupStatsPresorted(m_observed.data(), m_sorted.data(), m_n, out);
    }

    // Draws n positions p = ceil(u * n) of the ascending copy and counts them.
    void draw(UniformGenerator& rng, std::uint32_t* counts) const {
        const double dn = static_cast<double>(m_n);
        for (std::int64_t j = 0; j < m_n; ++j) {
            auto p = static_cast<std::int64_t>(std::ceil(rng.next() * dn));
            p = std::clamp<std::int64_t>(p, 1, m_n);
            ++counts[p - 1];
        }
    }

    // The statistics of the drawn resample; clears the counts for the next one.
    Checked resampleStats(std::uint32_t* counts, GroupStats& out) const {
        const GroupSums sums =
            SumsFromCounts(m_sorted.data(), counts, m_n, m_meanShift, m_winsorizedShift);
        std::fill(counts, counts + m_n, 0u);
        return GroupStatsFromSums(sums, m_n, out);
    }

  private:
    const GroupSample& m_observed;
    std::int64_t m_n;
    std::vector<float> m_sorted;  // observed values, ascending
    double m_meanShift = 0;
    double m_winsorizedShift = 0;
};

// The shared state of one run's trials. Trials are handed out in ascending order; each writes
// only its own slots, so the results are gathered in trial order whatever thread ran them.
struct TrialQueue {
    TrialQueue(const GroupResampler& g1, const GroupResampler& g2, std::uint64_t runSeed,
               std::int32_t count, int chosenGroup, const CancelToken* token)
        : r1(g1),
          r2(g2),
          seed(runSeed),
          trials(count),
          chosen(chosenGroup),
          cancel(token),
          d(static_cast<std::size_t>(count) + 1, kMissing),
          robustD(static_cast<std::size_t>(count) + 1, kMissing) {}

    const GroupResampler& r1;
    const GroupResampler& r2;
    std::uint64_t seed;
    std::int32_t trials;
    int chosen;
    const CancelToken* cancel;
    std::vector<float> d, robustD;  // slot t: trial t's effect sizes
    std::atomic<std::int32_t> next{1};
    std::atomic<std::int32_t> completed{0};
    std::atomic<bool> stop{false};  // the caller is leaving: a failure in the calling thread
    // The earliest trial whose result overflowed: later trials need not run, and the error is
    // the same for every thread count.
    std::atomic<std::int32_t> failedTrial{std::numeric_limits<std::int32_t>::max()};
    std::mutex failureMutex;
    BootstrapError failure{BootstrapError::Kind::Overflow};

    void fail(std::int32_t t, int group, Checked c) {
        const std::lock_guard<std::mutex> lock(failureMutex);
        if (t < failedTrial.load()) {
            failure = {BootstrapError::Kind::Overflow, group, c.overflow, t};
            failedTrial.store(t);
        }
    }

    // Runs trials until none is left. `counts` holds room for both groups' counts, all 0.
    // `afterTrial` runs after each completed trial on this thread.
    template <class AfterTrial>
    void work(std::uint32_t* counts, AfterTrial&& afterTrial) {
        std::uint32_t* const counts1 = counts;
        std::uint32_t* const counts2 = counts + r1.size();
        for (;;) {
            if (stop.load(std::memory_order_relaxed) || (cancel && cancel->cancelled())) return;
            const std::int32_t t = next.fetch_add(1);
            if (t > trials || t > failedTrial.load()) return;
            UniformGenerator rng = UniformGenerator::ForStream(seed, static_cast<std::uint64_t>(t));
            r1.draw(rng, counts1);
            r2.draw(rng, counts2);
            GroupStats s1, s2;
            EffectSizes es;
            const Checked c1 = r1.resampleStats(counts1, s1);
            const Checked c2 = r2.resampleStats(counts2, s2);
            if (!c1) return fail(t, 1, c1);
            if (!c2) return fail(t, 2, c2);
            if (const Checked c = ComputeEffectSizes(s1, s2, chosen, es); !c) {
                return fail(t, chosen, c);
            }
            d[static_cast<std::size_t>(t)] = es.d;
            robustD[static_cast<std::size_t>(t)] = es.robustD;
            afterTrial(completed.fetch_add(1) + 1);
        }
    }
};

// Runs the queue on `threads` threads while the calling thread reports progress.
// Returns the last count reported.
std::int32_t RunOnThreads(TrialQueue& queue, unsigned threads, std::vector<std::uint32_t>& counts,
                          std::size_t perThread, const ProgressCallback& progress) {
    std::mutex doneMutex;
    std::condition_variable doneSignal;
    unsigned finished = 0;
    std::vector<std::thread> workers;
    // However the caller leaves (a throwing progress callback, a thread that cannot start),
    // the workers are stopped and joined first.
    struct Joiner {
        TrialQueue& queue;
        std::vector<std::thread>& workers;
        ~Joiner() {
            queue.stop.store(true);
            for (std::thread& w : workers) w.join();
        }
    } joiner{queue, workers};
    workers.reserve(threads);
    for (unsigned i = 0; i < threads; ++i) {
        workers.emplace_back([&, i] {
            queue.work(counts.data() + i * perThread, [](std::int32_t) {});
            const std::lock_guard<std::mutex> lock(doneMutex);
            ++finished;
            doneSignal.notify_all();
        });
    }
    std::int32_t shown = 0;
    std::unique_lock<std::mutex> lock(doneMutex);
    for (;;) {
        const bool all = doneSignal.wait_for(lock, std::chrono::milliseconds(50),
                                             [&] { return finished == threads; });
        const std::int32_t done = queue.completed.load();
        if (progress && done > shown && !all) {
            shown = done;
            lock.unlock();
            progress(done);
            lock.lock();
        }
        if (all) return shown;
    }
}

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

unsigned BootstrapThreads(unsigned requested) {
    if (requested > 0) return requested;
    return std::max(1u, std::thread::hardware_concurrency());
}

Result<BootstrapResult, BootstrapError> RunBootstrap(const GroupSample& group1,
                                                     const GroupSample& group2,
                                                     const BootstrapSettings& settings,
                                                     const UniformGenerator& generator,
                                                     const ProgressCallback& progress,
                                                     const RunOptions& options) {
    using Kind = BootstrapError::Kind;
    const int chosen = settings.chosenGroup == 2 ? 2 : 1;
    BootstrapResult result;
    result.trials = settings.trials;

    const GroupResampler r1(group1), r2(group2);
    auto overflow = [](int group, Checked c) {
        return BootstrapError{Kind::Overflow, group, c.overflow, 0};
    };
    if (const Checked c = r1.observedStats(result.group1); !c) return overflow(1, c);
    if (const Checked c = r2.observedStats(result.group2); !c) return overflow(2, c);
    if (const Checked c = ComputeEffectSizes(result.group1, result.group2, chosen, result.observed);
        !c) {
        return overflow(chosen, c);
    }
    const GroupStats& chosenStats = chosen == 2 ? result.group2 : result.group1;
    if (!(chosenStats.variance > 0.0f)) return BootstrapError{Kind::ZeroVariance, chosen};

    const std::int32_t trials = std::max(settings.trials, 0);
    const auto slots = static_cast<std::size_t>(trials) + 1;
    TrialQueue queue(r1, r2, generator.seed(), trials, chosen, options.cancel);

    const unsigned threads =
        std::max(1u, std::min(BootstrapThreads(options.threads), static_cast<unsigned>(trials)));
    const std::size_t perThread = r1.size() + r2.size();
    std::vector<std::uint32_t> counts(perThread * threads, 0u);
    std::int32_t shown = 0;
    if (threads == 1) {
        queue.work(counts.data(), [&](std::int32_t done) {
            if (progress) progress(done);
            shown = done;
        });
    } else {
        shown = RunOnThreads(queue, threads, counts, perThread, progress);
    }
    if (options.cancel && options.cancel->cancelled()) return BootstrapError{Kind::Cancelled};
    if (queue.failedTrial.load() <= trials) return queue.failure;
    if (progress && shown < trials) progress(trials);

    std::vector<float> dStore(slots, 0.0f), robustStore(slots, 0.0f);
    for (std::size_t t = 1; t < slots; ++t) {
        if (!IsMissing(queue.d[t])) dStore[static_cast<std::size_t>(++result.validD)] = queue.d[t];
        if (!IsMissing(queue.robustD[t])) {
            robustStore[static_cast<std::size_t>(++result.validRobustD)] = queue.robustD[t];
        }
    }
    result.dInterval = PercentileInterval(dStore, result.validD, settings.level);
    result.robustDInterval = PercentileInterval(robustStore, result.validRobustD, settings.level);
    // Slot 0 goes; the trials' own slots move into the result without a copy.
    queue.d.erase(queue.d.begin());
    queue.robustD.erase(queue.robustD.begin());
    result.trialD = std::move(queue.d);
    result.trialRobustD = std::move(queue.robustD);
    return result;
}

}  // namespace corvane
