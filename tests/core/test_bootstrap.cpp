#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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
#include "common/UniformGenerator.h"

using namespace corvane;
using namespace corvane::test;

namespace {

const Estimate& D(const BootstrapResult& r) { return r.estimate(EstimateKind::D); }
const Estimate& RobustD(const BootstrapResult& r) { return r.estimate(EstimateKind::RobustD); }

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
        EXPECT_TRUE(SameBits(D(a.value()).interval.lower, D(b.value()).interval.lower));
        EXPECT_TRUE(SameBits(D(a.value()).interval.upper, D(b.value()).interval.upper));
        EXPECT_TRUE(SameBits(RobustD(a.value()).interval.lower, RobustD(b.value()).interval.lower));
        EXPECT_TRUE(SameBits(RobustD(a.value()).interval.upper, RobustD(b.value()).interval.upper));
        EXPECT_EQ(D(a.value()).trials, D(b.value()).trials);
        EXPECT_EQ(RobustD(a.value()).trials, RobustD(b.value()).trials);
    }
    // The resamples vary: no two trials alike.
    std::vector<float> d(D(a.value()).trials);
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
