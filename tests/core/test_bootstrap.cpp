#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>
#include <random>
#include <thread>
#include <vector>

#include "Samples.h"
#include "analysis/Bootstrap.h"
#include "analysis/CountWalk.h"
#include "analysis/DistinctValues.h"
#include "analysis/DrawCounts.h"
#include "common/BinomialDraw.h"
#include "common/Single.h"

using namespace corvane;
using namespace corvane::test;

namespace {

// The distinct values of `sorted` and how often each occurs.
std::pair<std::vector<float>, std::vector<std::int64_t>> Distinct(const GroupSample& sorted) {
    std::vector<float> values;
    std::vector<std::int64_t> counts;
    for (float v : sorted) {
        if (values.empty() || v != values.back()) values.push_back(v), counts.push_back(0);
        ++counts.back();
    }
    return {values, counts};
}

// The bootstrap in its plainest form: each trial draws positions of the ascending copy from its
// own stream, or for a group of few distinct values the count of each value in turn as a
// binomial of the draws left and the value's share of the values left; it writes the resample
// out and takes its statistics as those of any single sample, sorting it.
BootstrapResult SortedResampleReference(const GroupSample& g1, const GroupSample& g2,
                                        const BootstrapSettings& s, std::uint64_t seed) {
    UniformGenerator rng;
    std::vector<float> scratch;
    auto stats = [&](const GroupSample& x) {
        GroupStats g;
        ComputeGroupStats(x, g, scratch);
        return g;
    };
    auto draw = [&](const GroupSample& x) {
        GroupSample sorted(x), out(x.size());
        std::stable_sort(sorted.begin(), sorted.end());
        const auto [values, counts] = Distinct(sorted);
        if (DistinctValues::Worthwhile(std::ssize(x), values.size())) {
            out.clear();
            std::int64_t draws = std::ssize(x), left = draws;
            for (std::size_t i = 0; i < values.size(); ++i) {
                const std::int64_t c =
                    i + 1 < values.size()
                        ? DrawBinomial(rng, draws, double(counts[i]) / double(left))
                        : draws;
                out.insert(out.end(), static_cast<std::size_t>(c), values[i]);
                draws -= c;
                left -= counts[i];
            }
            return out;
        }
        for (auto& v : out) {
            auto p = static_cast<std::size_t>(std::ceil(rng.next() * double(x.size())));
            v = sorted[std::clamp<std::size_t>(p, 1, x.size()) - 1];
        }
        return out;
    };
    BootstrapResult r;
    r.trials = s.trials;
    r.group1 = stats(g1);
    r.group2 = stats(g2);
    ComputeEffectSizes(r.group1, r.group2, s.chosenGroup, r.observed);
    std::vector<float> d, rd;
    for (int t = 1; t <= s.trials; ++t) {
        rng = UniformGenerator::ForStream(seed, static_cast<std::uint64_t>(t));
        const GroupSample a = draw(g1);
        const GroupSample b = draw(g2);
        EffectSizes e;
        ComputeEffectSizes(stats(a), stats(b), s.chosenGroup, e);
        if (!IsMissing(e.d)) d.push_back(e.d);
        if (!IsMissing(e.robustD)) rd.push_back(e.robustD);
    }
    r.validD = static_cast<int>(d.size());
    r.validRobustD = static_cast<int>(rd.size());
    r.dInterval = PercentileInterval(d, s.level);
    r.robustDInterval = PercentileInterval(rd, s.level);
    return r;
}

}  // namespace

TEST(PercentilePositions, TheTableForCompleteRuns) {
    const float levels[] = {0.9f, 0.95f, 0.99f};
    const struct {
        int t;
        int tails[3];
    } table[] = {{600, {30, 15, 3}},  {800, {40, 20, 4}},   {1000, {50, 25, 5}},
                 {1200, {60, 30, 6}}, {1400, {70, 35, 7}},  {1600, {80, 40, 8}},
                 {1800, {90, 45, 9}}, {2000, {100, 50, 10}}};
    for (const auto& row : table) {
        for (int l = 0; l < 3; ++l) {
            const PercentilePositions p = PercentilePositionsFor(row.t, levels[l]);
            EXPECT_EQ(p.tail, row.tails[l]) << row.t << " " << levels[l];
            EXPECT_EQ(p.lower, row.tails[l] + 1);
            EXPECT_EQ(p.upper, row.t - row.tails[l]);
        }
    }
}

TEST(PercentilePositions, TellingRows) {
    auto check = [](int m, float c, int lower, int upper) {
        const PercentilePositions p = PercentilePositionsFor(m, c);
        EXPECT_EQ(p.lower, lower) << m << " at " << c;
        EXPECT_EQ(p.upper, upper) << m << " at " << c;
    };
    check(100, 0.95f, 4, 97);   // 2.5000006 rounds up
    check(300, 0.99f, 2, 299);  // 1.4999986 rounds down
    check(100, 0.99f, 1, 100);
    check(1, 0.95f, 1, 1);
    check(0, 0.95f, 1, 0);
}

TEST(PercentileInterval, ReadsTheSortedValues) {
    std::vector<float> kept(600);
    for (int i = 1; i <= 600; ++i) kept[i - 1] = static_cast<float>((i * 7919) % 600 + 1);
    const Interval iv = PercentileInterval(kept, 0.95f);
    EXPECT_EQ(iv.lower, 16.0f);
    EXPECT_EQ(iv.upper, 585.0f);
    const Interval none = PercentileInterval({}, 0.95f);
    EXPECT_EQ(none.lower, 0.0f);
    EXPECT_EQ(none.upper, 0.0f);
    const Interval one = PercentileInterval({2.5f}, 0.95f);
    EXPECT_EQ(one.lower, 2.5f);
    EXPECT_EQ(one.upper, 2.5f);
}

TEST(RunBootstrap, ProgressCountsCompletedTrials) {
    const std::uint64_t seed = 7;
    std::vector<int> seen;
    BootstrapSettings s;
    // On one thread every completed trial is reported, on the calling thread.
    const auto caller = std::this_thread::get_id();
    RunOptions one;
    one.threads = 1;
    auto r = RunBootstrap(
        Range(1, 10), Range(2, 20, 2), s, seed,
        [&](int t) {
            EXPECT_EQ(std::this_thread::get_id(), caller);
            seen.push_back(t);
        },
        one);
    ASSERT_TRUE(r.ok());
    ASSERT_EQ(seen.size(), 600u);
    for (int t = 1; t <= 600; ++t) EXPECT_EQ(seen[t - 1], t);
    // On several, the calls still come from the caller, grow strictly and end with T.
    seen.clear();
    RunOptions four;
    four.threads = 4;
    s.trials = 20000;
    ASSERT_TRUE(RunBootstrap(
                    Range(1, 300), Range(2, 600, 2), s, seed,
                    [&](int t) {
                        EXPECT_EQ(std::this_thread::get_id(), caller);
                        seen.push_back(t);
                    },
                    four)
                    .ok());
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end());
    EXPECT_EQ(seen.back(), 20000);
    EXPECT_EQ(r->trials, 600);
    EXPECT_EQ(r->validD, 600);
    EXPECT_LT(r->dInterval.lower, r->observed.d);
    EXPECT_GT(r->dInterval.upper, r->observed.d);
}

TEST(RunBootstrap, ZeroVarianceOfTheChosenGroupStopsBeforeTrialOne) {
    const std::uint64_t seed = 1;
    int calls = 0;
    BootstrapSettings s;
    s.chosenGroup = 2;
    auto r = RunBootstrap(Range(1, 10), {3, 3, 3}, s, seed, [&](int) { ++calls; });
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error().kind, BootstrapError::Kind::ZeroVariance);
    EXPECT_EQ(r.error().group, 2);
    EXPECT_EQ(calls, 0);
    s.chosenGroup = 1;  // the other group's variance does not matter
    EXPECT_TRUE(RunBootstrap(Range(1, 10), {3, 3, 3}, s, seed).ok());
}

TEST(RunBootstrap, UndefinedTrialsLowerTheValidCounts) {
    const std::uint64_t seed = 99;
    BootstrapSettings s;
    auto r = RunBootstrap({3, 7}, Range(1, 10), s, seed);
    ASSERT_TRUE(r.ok());
    // Drawing the same value twice gives variance 0: about half the trials.
    EXPECT_GT(r->validD, 220);
    EXPECT_LT(r->validD, 380);
    EXPECT_EQ(r->validRobustD, r->validD);  // size 2 trims nothing

    auto ties = RunBootstrap({1, 1, 1, 1, 5}, Range(1, 10), s, seed);
    ASSERT_TRUE(ties.ok());
    EXPECT_TRUE(IsMissing(ties->observed.robustD));
    EXPECT_LT(ties->validRobustD, ties->validD);
}

TEST(RunBootstrap, NoDefinedRobustDGivesAZeroInterval) {
    const std::uint64_t seed = 5;
    BootstrapSettings s;
    s.trials = 50;
    // One odd value among forty: a resample reaches a positive Winsorized variance only by
    // drawing it nine times or more, which practically never happens.
    GroupSample g1(40, 0.0f);
    g1[17] = 1.0f;
    auto r = RunBootstrap(g1, Range(1, 10), s, seed);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r->validRobustD, 0);
    EXPECT_EQ(r->robustDInterval.lower, 0.0f);
    EXPECT_EQ(r->robustDInterval.upper, 0.0f);
}

TEST(RunBootstrap, OverflowIsAnError) {
    const std::uint64_t seed = 3;
    EXPECT_TRUE(RunBootstrap({1e19f, 1.0f, 2.0f}, {2e19f, 3.0f}, BootstrapSettings{}, seed).ok());
    auto r = RunBootstrap({1e19f, 1.0f, 2.0f}, {1e20f, 3.0f}, BootstrapSettings{}, seed);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error().kind, BootstrapError::Kind::Overflow);
    EXPECT_EQ(r.error().what, Overflow::Variance);
    EXPECT_EQ(r.error().group, 2);
    EXPECT_EQ(r.error().trial, 0);
}

bool SameStats(const GroupStats& a, const GroupStats& b) {
    return a.n == b.n && SameBits(a.mean, b.mean) && SameBits(a.trimmedMean, b.trimmedMean) &&
           SameBits(a.variance, b.variance) && SameBits(a.winsorizedVariance, b.winsorizedVariance);
}

// Every figure of the result, on one thread and on three.
void ExpectSameRun(const GroupSample& g1, const GroupSample& g2, const BootstrapSettings& s,
                   std::uint64_t seed) {
    for (unsigned threads : {1u, 3u}) {
        RunOptions options;
        options.threads = threads;
        auto fast = RunBootstrap(g1, g2, s, seed, {}, options);
        if (!fast.ok()) return;  // a chosen group of equal values
        const BootstrapResult slow = SortedResampleReference(g1, g2, s, seed);
        const std::string where = "n1 " + std::to_string(g1.size()) + " n2 " +
                                  std::to_string(g2.size()) + " T " + std::to_string(s.trials);
        EXPECT_TRUE(SameStats(fast->group1, slow.group1)) << where;
        EXPECT_TRUE(SameStats(fast->group2, slow.group2)) << where;
        EXPECT_EQ(fast->validD, slow.validD) << where;
        EXPECT_EQ(fast->validRobustD, slow.validRobustD) << where;
        EXPECT_TRUE(SameBits(fast->dInterval.lower, slow.dInterval.lower)) << where;
        EXPECT_TRUE(SameBits(fast->dInterval.upper, slow.dInterval.upper)) << where;
        EXPECT_TRUE(SameBits(fast->robustDInterval.lower, slow.robustDInterval.lower)) << where;
        EXPECT_TRUE(SameBits(fast->robustDInterval.upper, slow.robustDInterval.upper)) << where;
    }
}

TEST(RunBootstrap, MatchesTheSortedResampleReferenceOnLargerGroups) {
    std::mt19937 gen(977);
    int distinctDraws = 0;
    for (int sample = 0; sample < 24; ++sample) {
        // Groups of unequal sizes, either one the larger, with ties from a coarse grid of
        // values; zeros of both signs among them; a spread that varies by group.
        auto make = [&](int n, int levels, float scale) {
            GroupSample x(n);
            std::uniform_int_distribution<int> pick(-levels, levels);
            for (float& v : x) {
                const int k = pick(gen);
                v = k == 0 ? (gen() % 2 ? -0.0f : 0.0f) : static_cast<float>(k) * scale;
            }
            return x;
        };
        const int n1 = 40 + 97 * (sample % 5), n2 = 30 + 61 * ((sample + 2) % 7);
        const GroupSample g1 = make(sample % 2 ? n1 : n2, 3 + sample % 9, 0.37f);
        const GroupSample g2 = make(sample % 2 ? n2 : n1, 2 + sample % 13, 1.9f);
        BootstrapSettings s;
        s.trials = 60 + sample;  // odd and even counts of trials
        s.chosenGroup = 1 + sample % 2;
        s.level = sample % 3 == 0 ? 0.9f : 0.95f;
        ExpectSameRun(g1, g2, s, 5000 + sample);
        for (const GroupSample* g : {&g1, &g2}) {
            GroupSample sorted(*g);
            std::sort(sorted.begin(), sorted.end());
            distinctDraws +=
                DistinctValues::Worthwhile(std::ssize(*g), Distinct(sorted).first.size());
        }
    }
    // Both ways of drawing are among them.
    EXPECT_GT(distinctDraws, 8);
    EXPECT_LT(distinctDraws, 40);
}

// Groups large enough to be prepared side by side on two threads give what one thread gives,
// Group 1 drawing positions and Group 2, a Likert item, the counts of its values.
TEST(RunBootstrap, LargeGroupsGiveTheSameRunOnAnyNumberOfThreads) {
    std::mt19937 gen(55);
    std::normal_distribution<float> normal(10.0f, 3.0f);
    std::uniform_int_distribution<int> likert(1, 7);
    GroupSample g1(70000), g2(90000);
    for (float& v : g1) v = normal(gen);
    for (float& v : g2) v = static_cast<float>(std::min(likert(gen), likert(gen)));
    BootstrapSettings s;
    s.trials = 40;
    RunOptions one;
    one.threads = 1;
    const auto a = RunBootstrap(g1, g2, s, 9, {}, one);
    for (unsigned threads : {2u, 3u}) {
        RunOptions several;
        several.threads = threads;
        const auto b = RunBootstrap(g1, g2, s, 9, {}, several);
        ASSERT_TRUE(a.ok() && b.ok());
        EXPECT_TRUE(SameStats(a->group1, b->group1));
        EXPECT_TRUE(SameStats(a->group2, b->group2));
        EXPECT_TRUE(SameBits(a->dInterval.lower, b->dInterval.lower));
        EXPECT_TRUE(SameBits(a->dInterval.upper, b->dInterval.upper));
        EXPECT_TRUE(SameBits(a->robustDInterval.lower, b->robustDInterval.lower));
        EXPECT_TRUE(SameBits(a->robustDInterval.upper, b->robustDInterval.upper));
        EXPECT_EQ(a->trialD, b->trialD);
        EXPECT_EQ(a->trialRobustD, b->trialRobustD);
    }
    // The resamples vary: no two trials alike.
    std::vector<float> d(a->trialD);
    std::sort(d.begin(), d.end());
    EXPECT_EQ(std::adjacent_find(d.begin(), d.end()), d.end());
}

TEST(RunBootstrap, MatchesTheSortedResampleReferenceAtTheSmallestSizesAndCounts) {
    const GroupSample tiny[] = {{3, 7}, {1, 1, 2}, {4, 4, 9, 9}, {1, 1, 1, 1, 5}, {2, 6, 2, 6, 2}};
    for (int trials : {1, 2, 3, 600}) {
        for (const auto& g1 : tiny) {
            for (const auto& g2 : tiny) {
                for (int chosen : {1, 2}) {
                    BootstrapSettings s;
                    s.trials = trials;
                    s.chosenGroup = chosen;
                    ExpectSameRun(g1, g2, s, 77 + trials);
                }
            }
        }
    }
}

TEST(RunBootstrap, AnOverflowingResampleEndsTheRunInItsTrial) {
    // The observed variance fits single precision; a resample of Group 2 that draws the large
    // value four times or more does not.
    GroupSample big(10, 0.0f);
    big[4] = 3.6e19f;
    const GroupSample small = Range(1, 10);

    int expected = 0;
    for (int t = 1; t <= 600 && expected == 0; ++t) {
        UniformGenerator replay = UniformGenerator::ForStream(3, static_cast<std::uint64_t>(t));
        for (int j = 0; j < 10; ++j) replay.next();
        int hits = 0;
        for (int j = 0; j < 10; ++j) hits += std::ceil(replay.next() * 10.0) == 10.0;
        if (hits >= 4) expected = t;
    }
    ASSERT_GT(expected, 0);

    // The earliest such trial is reported on any number of threads.
    for (unsigned threads : {1u, 2u, 5u}) {
        RunOptions options;
        options.threads = threads;
        auto r = RunBootstrap(small, big, BootstrapSettings{}, 3, {}, options);
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(r.error().what, Overflow::Variance);
        EXPECT_EQ(r.error().group, 2);
        EXPECT_EQ(r.error().trial, expected) << threads;
    }
}

TEST(RunBootstrap, CancelStopsTheRun) {
    BootstrapSettings s;
    s.trials = 1000000;
    for (unsigned threads : {1u, 3u}) {
        CancelToken token;
        RunOptions options;
        options.threads = threads;
        options.cancel = &token;
        std::int32_t last = 0;
        auto r = RunBootstrap(
            Range(1, 1000), Range(2, 2000, 2), s, 8,
            [&](std::int32_t done) {
                last = done;
                if (done >= 100) token.cancel();
            },
            options);
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(r.error().kind, BootstrapError::Kind::Cancelled);
        EXPECT_LT(last, 1000000);
    }
}

TEST(SumsFromCounts, WithinAccuracyOfTheDirectSumsOnRandomResamplesWithTies) {
    std::mt19937 gen(31337);
    std::vector<float> scratch;
    for (int sample = 0; sample < 300; ++sample) {
        const int n = 2 + static_cast<int>(gen() % (sample < 200 ? 40 : 3000));
        // Few distinct values on a large offset; now and then a constant sample.
        std::uniform_int_distribution<int> pick(0, sample % 5 == 0 ? 0 : 3 + sample % 50);
        const float offset = sample % 3 == 0 ? 293.15f : sample % 3 == 1 ? 1990.0f : -4e6f;
        GroupSample sorted(n);
        for (float& v : sorted) v = offset + static_cast<float>(pick(gen)) * 0.25f;
        if (sample % 10 == 3) sorted[0] = offset + 1e5f;  // an outlier pulls the mean away
        std::sort(sorted.begin(), sorted.end());

        DrawCounts counts(n);
        GroupSample resample;
        std::uniform_int_distribution<int> position(0, n - 1);
        // Some resamples draw one position only, the constant resample of any sample.
        const int only = sample % 7 == 0 ? position(gen) : -1;
        for (int j = 0; j < n; ++j) {
            const int p = only >= 0 ? only : position(gen);
            counts.add(p);
            resample.push_back(sorted[p]);
        }
        std::vector<float> ascending(resample);
        std::sort(ascending.begin(), ascending.end());
        GroupSums direct;
        {
            // The sums over the resample written out, taken as ComputeGroupStatsPresorted
            // takes them.
            double sum = 0;
            for (float v : resample) sum += v;
            const double m = sum / n;
            for (float v : resample) direct.squaredDeviations += (v - m) * (v - m);
            direct.sum = sum;
            const auto g = TrimCount(n);
            for (auto j = g; j < n - g; ++j) direct.trimmedSum += ascending[j];
            const double lo = ascending[g], hi = ascending[n - g - 1];
            const double wm = ((double(g) * lo + direct.trimmedSum) + double(g) * hi) / n;
            double& wd = direct.winsorizedSquaredDeviations;
            wd = double(g) * ((lo - wm) * (lo - wm));
            for (auto j = g; j < n - g; ++j) wd += (ascending[j] - wm) * (ascending[j] - wm);
            wd += double(g) * ((hi - wm) * (hi - wm));
        }
        double mean = 0;
        for (float v : sorted) mean += v;
        mean /= n;
        // Any fixed shift near the values will do.
        const GroupSums got = SumsFromCounts(sorted.data(), counts, mean + 0.1);
        // The same resample as counts per distinct value, the walk over those.
        const std::vector<float> values = Distinct(sorted).first;
        std::vector<std::uint32_t> perValue(values.size(), 0);
        for (float v : resample)
            ++perValue[std::lower_bound(values.begin(), values.end(), v) - values.begin()];
        const GroupSums byValue =
            SumsFromValueCounts(values.data(), perValue.data(), std::ssize(values), n, mean + 0.1);
        double scale = 0;  // a signed sum is accurate relative to the sum of magnitudes
        for (float v : resample) scale += std::fabs(v);
        for (const GroupSums& walked : {got, byValue}) {
            EXPECT_LE(std::fabs(walked.sum - direct.sum), 1e-12 * scale) << sample;
            EXPECT_LE(std::fabs(walked.trimmedSum - direct.trimmedSum), 1e-12 * scale) << sample;
            EXPECT_LE(std::fabs(walked.squaredDeviations - direct.squaredDeviations),
                      1e-12 * direct.squaredDeviations)
                << sample;
            EXPECT_LE(
                std::fabs(walked.winsorizedSquaredDeviations - direct.winsorizedSquaredDeviations),
                1e-12 * direct.winsorizedSquaredDeviations)
                << sample;
        }
        // Either walk gives the current path's statistics.
        GroupStats fromPositions, fromValues;
        GroupStatsFromSums(got, n, fromPositions);
        GroupStatsFromSums(byValue, n, fromValues);
        EXPECT_TRUE(SameStats(fromPositions, fromValues)) << sample;
    }
}

namespace {

// The walk over counts held whole, one 32-bit count per position.
GroupSums SumsFromFullCounts(const float* sorted, const std::uint32_t* counts, std::int64_t n,
                             double shift) {
    WholeCounts full{counts};
    return WalkCounts(sorted, full, n, n, shift);
}

}  // namespace

// Counts above 255 spill out of their byte; the walk over bytes and spills gives the very sums
// of the full counts, however many times a position spills and in whatever order.
TEST(SumsFromCounts, ByteCountsWithSpillsMatchTheFullCounts) {
    const int n = 4000;
    GroupSample sorted(n);
    for (int k = 0; k < n; ++k) sorted[k] = 10.0f + static_cast<float>(k / 7) * 0.5f;
    std::vector<std::uint32_t> full(n, 0);
    DrawCounts bytes(n);
    std::mt19937 gen(4242);
    auto draw = [&](int position, int times) {
        for (int i = 0; i < times; ++i) {
            ++full[position];
            bytes.add(position);
        }
    };
    // Spills at the ends, next to each other, and a position that spills three times; the
    // draws of the spilling positions interleaved.
    const int heavy[][2] = {{0, 256}, {3999, 300}, {700, 255}, {701, 511}, {1200, 780}};
    for (int round = 0; round < 4; ++round) {
        for (const auto& h : heavy) draw(h[0], h[1] / 4 + (round == 3 ? h[1] % 4 : 0));
    }
    int drawn = 0;
    for (std::uint32_t c : full) drawn += static_cast<int>(c);
    std::uniform_int_distribution<int> position(0, n - 1);
    while (drawn < n) draw(position(gen), 1), ++drawn;
    ASSERT_EQ(drawn, n);
    EXPECT_EQ(bytes.spill().size(), 1u + 1u + 0u + 1u + 3u);

    // About a shift near the values, and about 0, which sends the walk to its second form.
    for (double shift : {150.0, 0.0}) {
        const GroupSums a = SumsFromFullCounts(sorted.data(), full.data(), n, shift);
        const GroupSums b = SumsFromCounts(sorted.data(), bytes, shift);
        EXPECT_EQ(a.sum, b.sum);
        EXPECT_EQ(a.trimmedSum, b.trimmedSum);
        EXPECT_EQ(a.squaredDeviations, b.squaredDeviations);
        EXPECT_EQ(a.winsorizedSquaredDeviations, b.winsorizedSquaredDeviations);
    }
    bytes.clear();
    EXPECT_TRUE(bytes.spill().empty());
    EXPECT_EQ(std::count(bytes.low(), bytes.low() + n, 0), n);
}

namespace {

// Pearson's statistic of `seen[k]`, how often k came in `draws` draws, against the binomial
// probabilities of n trials at p, outcomes pooled into classes of at least 20 expected; and the
// bound it stays below unless the draws are off: its mean, the classes less one, plus seven of
// its standard deviations.
std::pair<double, double> BinomialChiSquare(const std::vector<std::int64_t>& seen, std::int64_t n,
                                            double p, std::int64_t draws) {
    double statistic = 0, expected = 0, observed = 0;
    int classes = 0;
    for (std::int64_t k = 0; k <= n; ++k) {
        const double dk = double(k), dn = double(n);
        expected +=
            draws * std::exp(std::lgamma(dn + 1) - std::lgamma(dk + 1) - std::lgamma(dn - dk + 1) +
                             dk * std::log(p) + (dn - dk) * std::log1p(-p));
        observed += double(seen[static_cast<std::size_t>(k)]);
        if (expected >= 20 || k == n) {
            statistic += (observed - expected) * (observed - expected) / std::max(expected, 1e-300);
            ++classes;
            expected = observed = 0;
        }
    }
    const double df = classes - 1;
    return {statistic, df + 7 * std::sqrt(2 * df)};
}

}  // namespace

// The tally counts each value, -0 and +0 as one, through the growths of its table, and gives
// up past its limit.
TEST(ValueTally, CountsEachValueUpToItsLimit) {
    GroupSample values;
    for (int i = 0; i < 20000; ++i) values.push_back(static_cast<float>((i * 7919) % 1000) * 0.5f);
    values.push_back(-0.0f);
    std::vector<float> sorted(values);
    std::sort(sorted.begin(), sorted.end());
    const auto [expected, counts] = Distinct(sorted);
    ValueTally tally(1000);
    for (float v : values) tally.add(v);
    ASSERT_TRUE(tally.within());
    const std::vector<ValueTally::Entry> found = tally.ascending();
    ASSERT_EQ(found.size(), expected.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
        EXPECT_EQ(found[i].value, expected[i]);
        EXPECT_EQ(found[i].count, counts[i]);
    }
    EXPECT_EQ(found[0].count, 21u);  // the twenty zeros and the -0
    ValueTally tooFew(999);
    for (float v : values) tooFew.add(v);
    EXPECT_FALSE(tooFew.within());
}

// Inversion for small means, BTPE for large ones (its squeeze and its Stirling bound among
// them at n p q in the hundred thousands), p above 1/2 mirrored: each the binomial distribution.
TEST(DrawBinomial, MatchesTheBinomialProbabilities) {
    const struct {
        std::int64_t n;
        double p;
    } cases[] = {{20, 0.3},  {1000000, 2e-5}, {100, 0.3}, {300, 0.1001},
                 {200, 0.4}, {1000, 0.93},    {50, 0.9},  {1000000, 0.3}};
    for (const auto& c : cases) {
        UniformGenerator rng(static_cast<std::uint64_t>(c.n) + 17);
        constexpr std::int64_t draws = 200000;
        std::vector<std::int64_t> seen(static_cast<std::size_t>(c.n + 1), 0);
        for (std::int64_t i = 0; i < draws; ++i) {
            const std::int64_t k = DrawBinomial(rng, c.n, c.p);
            ASSERT_GE(k, 0);
            ASSERT_LE(k, c.n);
            ++seen[static_cast<std::size_t>(k)];
        }
        const auto [statistic, bound] = BinomialChiSquare(seen, c.n, c.p, draws);
        EXPECT_LT(statistic, bound) << c.n << " " << c.p;
    }
    UniformGenerator rng(1);
    EXPECT_EQ(DrawBinomial(rng, 0, 0.5), 0);
    EXPECT_EQ(DrawBinomial(rng, 9, 0.0), 0);
    EXPECT_EQ(DrawBinomial(rng, 9, 1.0), 9);
}

// The conditional binomials make a multinomial draw: every count of a resample is binomial with
// the resample's size and its value's share, the last one (what the others leave) too.
TEST(DistinctValues, DrawsEachCountWithItsValuesShare) {
    const std::int64_t occurs[] = {3, 40, 1000, 25000, 500, 1};
    GroupSample sample;
    for (std::size_t i = 0; i < std::size(occurs); ++i)
        sample.insert(sample.end(), static_cast<std::size_t>(occurs[i]), 0.5f * float(7 - i));
    std::shuffle(sample.begin(), sample.end(), std::mt19937(8));
    ValueTally tally(100);
    for (float v : sample) tally.add(v);
    const DistinctValues distinct = DistinctValues::FromTally(tally);
    ASSERT_EQ(distinct.size(), std::size(occurs));
    const std::int64_t n = std::ssize(sample);
    constexpr std::int64_t draws = 40000;
    std::vector<std::vector<std::int64_t>> seen(6, std::vector<std::int64_t>(n + 1, 0));
    std::uint32_t counts[6];
    UniformGenerator rng(99);
    for (std::int64_t t = 0; t < draws; ++t) {
        distinct.draw(rng, counts);
        ASSERT_EQ(std::accumulate(std::begin(counts), std::end(counts), std::int64_t{0}), n);
        for (std::size_t i = 0; i < 6; ++i) ++seen[i][counts[i]];
    }
    // Ascending, value i holds the count of occurs[5 - i].
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(distinct.values()[i], 0.5f * float(i + 2));
        const double share = double(occurs[5 - i]) / double(n);
        const auto [statistic, bound] = BinomialChiSquare(seen[i], n, share, draws);
        EXPECT_LT(statistic, bound) << i;
    }
}

// The draw's position is ceil(u * n) as the library computes it, and stays within 1..n at the
// extreme draws without a clamp.
TEST(DrawnPosition, CeilingOfTheDrawTimesN) {
    std::mt19937_64 gen(2718);
    for (std::int64_t n : {1LL, 2LL, 3LL, 7LL, 1000LL, 100003LL, 2147483647LL}) {
        const double scaled = static_cast<double>(n) * 0x1.0p-52;
        EXPECT_EQ(DrawnPosition(0, scaled), 1) << n;
        EXPECT_EQ(DrawnPosition(~std::uint64_t{0}, scaled), n) << n;
        for (int i = 0; i < 20000; ++i) {
            const std::uint64_t bits = gen();
            const double u = UniformGenerator::ToUnit(bits);
            ASSERT_EQ(DrawnPosition(bits, scaled),
                      static_cast<std::int64_t>(std::ceil(u * static_cast<double>(n))))
                << n << " " << bits;
        }
    }
}

TEST(UniformGenerator, OpenIntervalAndReproducible) {
    // The extreme bit patterns stay inside (0, 1), half a step from either end.
    EXPECT_EQ(UniformGenerator::ToUnit(~std::uint64_t{0}), 1.0 - 0x1.0p-53);
    EXPECT_EQ(UniformGenerator::ToUnit(0), 0x1.0p-53);
    UniformGenerator a(123), b(123);
    for (int i = 0; i < 100000; ++i) {
        const double u = a.next();
        ASSERT_GT(u, 0.0);
        ASSERT_LT(u, 1.0);
        ASSERT_EQ(u, b.next());
    }
}
