#include "analysis/Bootstrap.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <limits>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

#include "common/Single.h"

namespace corvane {

namespace {

// The counts a walk reads, position by position from the first: restart() goes back to it.
// weight(k) is the count as a double.
struct FullCounts {
    const std::uint32_t* counts;
    void restart() {}
    std::int64_t operator()(std::int64_t k) const { return counts[k]; }
    double weight(std::int64_t k) const { return static_cast<double>(counts[k]); }
};

// Every byte as a double: one load in the walk instead of a conversion.
constexpr std::array<double, 256> kByteWeights = [] {
    std::array<double, 256> w{};
    for (std::size_t i = 0; i < w.size(); ++i) w[i] = static_cast<double>(i);
    return w;
}();

struct ByteCounts {
    const std::uint8_t* low;
    void restart() {}
    std::int64_t operator()(std::int64_t k) const { return low[k]; }
    double weight(std::int64_t k) const { return kByteWeights[low[k]]; }
};

// Byte counts with spills, `spill` sorted: each entry adds 256 to its position.
struct SpilledByteCounts {
    const std::uint8_t* low;
    const std::uint32_t* spill;
    const std::uint32_t* spillEnd;
    const std::uint32_t* at = spill;
    void restart() { at = spill; }
    std::int64_t operator()(std::int64_t k) {
        std::int64_t c = low[k];
        while (at != spillEnd && *at == k) {
            c += 256;
            ++at;
        }
        return c;
    }
    double weight(std::int64_t k) { return static_cast<double>((*this)(k)); }
};

// The sums of a resample in the accuracy rule's own form, walking the counts twice: S first,
// then the squared deviations about S / n. For resamples far from the shifts.
template <class Counts>
GroupSums SumsAboutOwnMeans(const float* sorted, Counts& counts, std::int64_t n, std::int64_t g,
                            double lo, double hi) {
    GroupSums out;
    const std::int64_t keepEnd = n - g;
    std::int64_t cum = 0;
    counts.restart();
    for (std::int64_t k = 0; k < n; ++k) {
        const std::int64_t c = counts(k);
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
    counts.restart();
    for (std::int64_t k = 0; k < n; ++k) {
        const std::int64_t c = counts(k);
        const double v = sorted[k];
        const auto kc = std::clamp(cum + c, g, keepEnd) - std::clamp(cum, g, keepEnd);
        out.d += static_cast<double>(c) * ((v - m) * (v - m));
        out.wd += static_cast<double>(kc) * ((v - wm) * (v - wm));
        cum += c;
    }
    out.wd += dg * ((hi - wm) * (hi - wm));
    return out;
}

template <class Counts>
GroupSums WalkCounts(const float* sorted, Counts& counts, std::int64_t n, double shift);

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
        // The resamples are summed about the observed Winsorized mean. It sits near every
        // resample's Winsorized mean, and near its mean too, relative to the plain variance,
        // which is large when outliers pull the mean away.
        const std::int64_t g = TrimCount(m_n);
        double t = 0;
        for (std::int64_t k = g; k < m_n - g; ++k) t += m_sorted[k];
        const double dn = static_cast<double>(m_n), dg = static_cast<double>(g);
        m_shift =
            ((dg * m_sorted[g] + t) + dg * m_sorted[static_cast<std::size_t>(m_n - g - 1)]) / dn;
    }

    std::size_t size() const { return static_cast<std::size_t>(m_n); }

    // Trial 0: the observed sample itself, by the rule.
    Checked observedStats(GroupStats& out) const {
        return ComputeGroupStatsPresorted(m_observed.data(), m_sorted.data(), m_n, out);
    }

    // The statistics of the resample drawn into `counts`; clears them for the next one.
    Checked resampleStats(DrawCounts& counts, GroupStats& out) const {
        const GroupSums sums = SumsFromCounts(m_sorted.data(), counts, m_shift);
        counts.clear();
        return GroupStatsFromSums(sums, m_n, out);
    }

  private:
    const GroupSample& m_observed;
    std::int64_t m_n;
    std::vector<float> m_sorted;  // observed values, ascending
    double m_shift = 0;
};

// Below this many values a second thread costs more than the sort it takes over.
constexpr std::size_t kSortSideBySide = 65536;

// Sorts the two observed groups, side by side when there are threads to spare: on a million
// values per group the sorts are a good part of what runs before the trials can share out.
void SortGroups(const GroupSample& group1, const GroupSample& group2, unsigned threads,
                std::optional<GroupResampler>& r1, std::optional<GroupResampler>& r2) {
    std::thread sorter;
    std::exception_ptr failure;
    if (threads > 1 && group2.size() >= kSortSideBySide) {
        try {
            sorter = std::thread([&] {
                try {
                    r2.emplace(group2);
                } catch (...) {
                    failure = std::current_exception();
                }
            });
        } catch (const std::system_error&) {
            // No thread to be had: this one sorts both.
        }
    }
    struct Joiner {
        std::thread& thread;
        ~Joiner() {
            if (thread.joinable()) thread.join();
        }
    } joiner{sorter};
    r1.emplace(group1);
    if (sorter.joinable()) {
        sorter.join();
        if (failure) std::rethrow_exception(failure);
    } else {
        r2.emplace(group2);
    }
}

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

    // Runs trials until none is left, with the thread's own counts of the two groups, all 0.
    // `afterTrial` runs after each completed trial on this thread.
    template <class AfterTrial>
    void work(DrawCounts& counts1, DrawCounts& counts2, AfterTrial&& afterTrial) {
        for (;;) {
            if (stop.load(std::memory_order_relaxed) || (cancel && cancel->cancelled())) return;
            const std::int32_t t = next.fetch_add(1);
            if (t > trials || t > failedTrial.load()) return;
            UniformGenerator rng = UniformGenerator::ForStream(seed, static_cast<std::uint64_t>(t));
            counts1.draw(rng);
            counts2.draw(rng);
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
std::int32_t RunOnThreads(TrialQueue& queue, unsigned threads, std::vector<DrawCounts>& counts,
                          const ProgressCallback& progress) {
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
            queue.work(counts[2 * i], counts[2 * i + 1], [](std::int32_t) {});
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

namespace {

// The sums of c * (v - shift) and c * (v - shift)^2 over a range of positions, in two
// interleaved lanes so that consecutive additions do not wait for each other.
struct LaneSums {
    double first[2] = {0, 0}, second[2] = {0, 0};

    void add(int lane, double c, double x) {
        const double cx = c * x;
        first[lane] += cx;
        second[lane] += cx * x;
    }
    double sum1() const { return first[0] + first[1]; }
    double sum2() const { return second[0] + second[1]; }
};

// The positions kLo and kHi holding the resample's ascending values g and keepEnd - 1 (from
// 0), and how many values lie below each.
template <class Counts>
void FindKeptEnds(Counts& counts, std::int64_t, std::int64_t g, std::int64_t keepEnd,
                  std::int64_t& kLo, std::int64_t& cumLo, std::int64_t& kHi, std::int64_t& cumHi) {
    counts.restart();
    std::int64_t k = 0, cum = 0, c = counts(0);
    while (cum + c <= g) {
        cum += c;
        c = counts(++k);
    }
    kLo = k;
    cumLo = cum;
    while (cum + c < keepEnd) {
        cum += c;
        c = counts(++k);
    }
    kHi = k;
    cumHi = cum;
}

// The sum of the eight bytes at p.
inline std::int64_t ByteSum8(const std::uint8_t* p) {
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
    w = (w & 0x00FF00FF00FF00FFu) + ((w >> 8) & 0x00FF00FF00FF00FFu);   // four sums up to 510
    return static_cast<std::int64_t>((w * 0x0001000100010001u) >> 48);  // their sum, up to 2040
}

// Without spills the counts are plain bytes, skipped eight at a time up to each end.
void FindKeptEnds(ByteCounts& counts, std::int64_t n, std::int64_t g, std::int64_t keepEnd,
                  std::int64_t& kLo, std::int64_t& cumLo, std::int64_t& kHi, std::int64_t& cumHi) {
    const std::uint8_t* const low = counts.low;
    std::int64_t k = 0, cum = 0;
    // The first position whose count takes the running total past `bound`.
    auto find = [&](std::int64_t bound) {
        for (std::int64_t block; k + 8 <= n && cum + (block = ByteSum8(low + k)) <= bound; k += 8)
            cum += block;
        while (cum + low[k] <= bound) cum += low[k++];
    };
    find(g);
    kLo = k;
    cumLo = cum;
    find(keepEnd - 1);
    kHi = k;
    cumHi = cum;
}

template <class Counts>
GroupSums WalkCounts(const float* sorted, Counts& counts, std::int64_t n, double shift) {
    if (n < 2) return {};
    const std::int64_t g = TrimCount(n), keepEnd = n - g;
    const double b = shift;
    // First the positions holding the resample's ascending values g and n - g - 1 (from 0), the
    // first and the last kept value, which the Winsorized sample repeats g times each. This
    // integer pass leaves the sums free of per-position clamps.
    std::int64_t kLo = 0, cumLo = 0, kHi = 0, cumHi = 0;
    FindKeptEnds(counts, n, g, keepEnd, kLo, cumLo, kHi, cumHi);
    // Then the sums of x - b and (x - b)^2: over the two tails, over the kept range between
    // kLo and kHi, and at those two positions, whose counts fall partly inside g .. n - g - 1.
    // All values and the kept ones share one shift, so the kept range's sums serve both.
    counts.restart();
    LaneSums tails, kept, endsAll, endsKept;
    std::int64_t k = 0;
    auto range = [&](LaneSums& sum, std::int64_t end) {
        for (; k + 1 < end; k += 2) {
            sum.add(0, counts.weight(k), sorted[k] - b);
            sum.add(1, counts.weight(k + 1), sorted[k + 1] - b);
        }
        if (k < end) {
            sum.add(0, counts.weight(k), sorted[k] - b);
            ++k;
        }
    };
    // `before` values of the resample lie below position k.
    auto end = [&](std::int64_t before) {
        const std::int64_t c = counts(k);
        const double x = sorted[k] - b;
        endsAll.add(0, static_cast<double>(c), x);
        const std::int64_t inside = std::min(before + c, keepEnd) - std::max(before, g);
        endsKept.add(0, static_cast<double>(inside), x);
        ++k;
    };
    range(tails, kLo);
    end(cumLo);
    if (kLo != kHi) {
        range(kept, kHi);
        end(cumHi);
    }
    range(tails, n);
    const double s1 = (tails.sum1() + endsAll.sum1()) + kept.sum1();
    const double s2 = (tails.sum2() + endsAll.sum2()) + kept.sum2();
    const double t1 = kept.sum1() + endsKept.sum1(), t2 = kept.sum2() + endsKept.sum2();
    const double lo = sorted[kLo], hi = sorted[kHi];
    const double dn = static_cast<double>(n), dg = static_cast<double>(g);
    GroupSums out;
    out.s = s1 + dn * b;
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

}  // namespace

GroupSums SumsFromCounts(const float* sorted, const std::uint32_t* counts, std::int64_t n,
                         double shift) {
    FullCounts full{counts};
    return WalkCounts(sorted, full, n, shift);
}

GroupSums SumsFromCounts(const float* sorted, const DrawCounts& counts, double shift) {
    const auto n = static_cast<std::int64_t>(counts.size());
    if (counts.spill().empty()) {
        ByteCounts bytes{counts.low()};
        return WalkCounts(sorted, bytes, n, shift);
    }
    std::vector<std::uint32_t> spill(counts.spill());
    std::sort(spill.begin(), spill.end());
    SpilledByteCounts spilled{counts.low(), spill.data(), spill.data() + spill.size()};
    return WalkCounts(sorted, spilled, n, shift);
}

void DrawCounts::clear() {
    std::fill(m_low.begin(), m_low.end(), std::uint8_t{0});
    m_spill.clear();
}

void DrawCounts::spill(std::size_t position) {
    m_spill.push_back(static_cast<std::uint32_t>(position));
}

void DrawCounts::draw(UniformGenerator& rng) {
    // The generator and the byte pointer are local: a byte store may alias anything, which
    // would send the generator's state through memory at every draw.
    UniformGenerator local = rng;
    std::uint8_t* const low = m_low.data();
    const auto n = static_cast<std::int64_t>(m_low.size());
    const double nScaled = static_cast<double>(n) * 0x1.0p-52;
    for (std::int64_t j = 0; j < n; ++j) {
        const auto p = static_cast<std::size_t>(DrawnPosition(local.nextBits(), nScaled) - 1);
        if (++low[p] == 0) spill(p);
    }
    rng = local;
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

    std::optional<GroupResampler> sorted1, sorted2;
    SortGroups(group1, group2, BootstrapThreads(options.threads), sorted1, sorted2);
    const GroupResampler& r1 = *sorted1;
    const GroupResampler& r2 = *sorted2;
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
    // Two groups' counts per thread: memory grows with the threads, not with the trials.
    std::vector<DrawCounts> counts;
    counts.reserve(2 * threads);
    for (unsigned i = 0; i < threads; ++i) {
        counts.emplace_back(r1.size());
        counts.emplace_back(r2.size());
    }
    std::int32_t shown = 0;
    if (threads == 1) {
        queue.work(counts[0], counts[1], [&](std::int32_t done) {
            if (progress) progress(done);
            shown = done;
        });
    } else {
        shown = RunOnThreads(queue, threads, counts, progress);
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
