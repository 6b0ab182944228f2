#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <random>
#include <vector>

#include "Samples.h"
#include "analysis/CountWalk.h"
#include "analysis/DistinctValues.h"
#include "analysis/DrawCounts.h"
#include "analysis/GroupStatistics.h"
#include "analysis/ValueTally.h"
#include "common/BinomialDraw.h"
#include "common/UniformGenerator.h"

using namespace corvane;
using namespace corvane::test;

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
