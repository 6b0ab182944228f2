#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "Samples.h"
#include "analysis/Bootstrap.h"
#include "analysis/CountWalk.h"
#include "analysis/DrawCounts.h"
#include "common/Single.h"

using namespace corvane;
using namespace corvane::test;

namespace {

const Estimate& D(const BootstrapResult& r) { return r.estimate(EstimateKind::D); }
const Estimate& RobustD(const BootstrapResult& r) { return r.estimate(EstimateKind::RobustD); }

// The bootstrap in its plainest form: each trial draws positions of the ascending copy from its
// own stream, writes the resample out in draw order and takes its statistics as those of any
// single sample, sorting it.
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
    EffectSizes observed;
    ComputeEffectSizes(r.group1, r.group2, s.chosenGroup, observed);
    std::array<std::vector<float>, kEstimateCount> defined;
    for (int t = 1; t <= s.trials; ++t) {
        rng = UniformGenerator::ForStream(seed, static_cast<std::uint64_t>(t));
        const GroupSample a = draw(g1);
        const GroupSample b = draw(g2);
        EffectSizes e;
        ComputeEffectSizes(stats(a), stats(b), s.chosenGroup, e);
        for (std::size_t k = 0; k < kEstimateCount; ++k) {
            if (!IsMissing(e.values[k])) defined[k].push_back(e.values[k]);
        }
    }
    for (const EstimateDescription& d : kEstimates) {
        Estimate estimate;
        estimate.kind = d.kind;
        estimate.observed = observed[d.kind];
        estimate.valid = static_cast<int>(defined[IndexOf(d.kind)].size());
        estimate.interval = PercentileInterval(defined[IndexOf(d.kind)], s.level);
        r.estimates.push_back(estimate);
    }
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
    EXPECT_EQ(D(r.value()).valid, 600);
    EXPECT_LT(D(r.value()).interval.lower, D(r.value()).observed);
    EXPECT_GT(D(r.value()).interval.upper, D(r.value()).observed);
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
    EXPECT_GT(D(r.value()).valid, 220);
    EXPECT_LT(D(r.value()).valid, 380);
    EXPECT_EQ(RobustD(r.value()).valid, D(r.value()).valid);  // size 2 trims nothing

    auto ties = RunBootstrap({1, 1, 1, 1, 5}, Range(1, 10), s, seed);
    ASSERT_TRUE(ties.ok());
    EXPECT_TRUE(IsMissing(RobustD(ties.value()).observed));
    EXPECT_LT(RobustD(ties.value()).valid, D(ties.value()).valid);
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
    EXPECT_EQ(RobustD(r.value()).valid, 0);
    EXPECT_EQ(RobustD(r.value()).interval.lower, 0.0f);
    EXPECT_EQ(RobustD(r.value()).interval.upper, 0.0f);
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
        ASSERT_EQ(fast->estimates.size(), slow.estimates.size());
        for (std::size_t k = 0; k < slow.estimates.size(); ++k) {
            const Estimate &a = fast->estimates[k], &b = slow.estimates[k];
            EXPECT_EQ(a.kind, b.kind) << where;
            EXPECT_TRUE(SameBits(a.observed, b.observed)) << where;
            EXPECT_EQ(a.valid, b.valid) << where;
            EXPECT_TRUE(SameBits(a.interval.lower, b.interval.lower)) << where;
            EXPECT_TRUE(SameBits(a.interval.upper, b.interval.upper)) << where;
        }
    }
}

TEST(RunBootstrap, MatchesTheSortedResampleReferenceOnLargerGroups) {
    std::mt19937 gen(977);
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
    }
}

// Groups large enough to be sorted side by side on two threads give what one thread gives.
TEST(RunBootstrap, LargeGroupsGiveTheSameRunOnAnyNumberOfThreads) {
    std::mt19937 gen(55);
    std::normal_distribution<float> normal(10.0f, 3.0f);
    GroupSample g1(70000), g2(90000);
    for (float& v : g1) v = normal(gen);
    for (float& v : g2) v = normal(gen) + 1.0f;
    BootstrapSettings s;
    s.trials = 12;
    RunOptions one, two;
    one.threads = 1;
    two.threads = 2;
    const auto a = RunBootstrap(g1, g2, s, 9, {}, one);
    const auto b = RunBootstrap(g1, g2, s, 9, {}, two);
    ASSERT_TRUE(a.ok() && b.ok());
    EXPECT_TRUE(SameStats(a->group1, b->group1));
    EXPECT_TRUE(SameStats(a->group2, b->group2));
    EXPECT_TRUE(SameBits(D(a.value()).interval.lower, D(b.value()).interval.lower));
    EXPECT_TRUE(SameBits(D(a.value()).interval.upper, D(b.value()).interval.upper));
    EXPECT_TRUE(SameBits(RobustD(a.value()).interval.lower, RobustD(b.value()).interval.lower));
    EXPECT_TRUE(SameBits(RobustD(a.value()).interval.upper, RobustD(b.value()).interval.upper));
    EXPECT_EQ(D(a.value()).trials, D(b.value()).trials);
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
        double scale = 0;  // a signed sum is accurate relative to the sum of magnitudes
        for (float v : resample) scale += std::fabs(v);
        EXPECT_LE(std::fabs(got.sum - direct.sum), 1e-12 * scale) << sample;
        EXPECT_LE(std::fabs(got.trimmedSum - direct.trimmedSum), 1e-12 * scale) << sample;
        EXPECT_LE(std::fabs(got.squaredDeviations - direct.squaredDeviations),
                  1e-12 * direct.squaredDeviations)
            << sample;
        EXPECT_LE(std::fabs(got.winsorizedSquaredDeviations - direct.winsorizedSquaredDeviations),
                  1e-12 * direct.winsorizedSquaredDeviations)
            << sample;
    }
}

namespace {

// The walk over counts held whole, one 32-bit count per position.
struct FullCounts {
    const std::uint32_t* counts;
    void restart() {}
    std::int64_t operator()(std::int64_t k) const { return counts[k]; }
    double weight(std::int64_t k) const { return static_cast<double>(counts[k]); }
};

GroupSums SumsFromFullCounts(const float* sorted, const std::uint32_t* counts, std::int64_t n,
                             double shift) {
    FullCounts full{counts};
    return WalkCounts(sorted, full, n, shift);
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
