#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "Samples.h"
#include "analysis/GroupStatistics.h"
#include "analysis/GroupValues.h"
#include "common/NumberText.h"
#include "common/Single.h"

using namespace corvane;
using namespace corvane::test;

namespace {

GroupStats Stats(const GroupSample& s) {
    GroupStats g;
    std::vector<float> scratch;
    EXPECT_TRUE(ComputeGroupStats(s, g, scratch));
    return g;
}

std::string R(float x) { return FormatRounded3(x); }

}  // namespace

TEST(GroupStatistics, OneToTenAgainstEvenNumbers) {
    const GroupStats g1 = Stats(Range(1, 10)), g2 = Stats(Range(2, 20, 2));
    EXPECT_EQ(R(g1.mean), "5.5");
    EXPECT_EQ(R(g2.mean), "11");
    EXPECT_EQ(R(g1.trimmedMean), "5.5");
    EXPECT_EQ(R(g2.trimmedMean), "11");
    EXPECT_EQ(R(g1.variance), "9.167");
    EXPECT_EQ(R(g2.variance), "36.667");
    EXPECT_EQ(R(g1.winsorizedVariance), "4.722");
    EXPECT_EQ(R(g2.winsorizedVariance), "18.889");

    EffectSizes e;
    ASSERT_TRUE(ComputeEffectSizes(g1, g2, 1, e));
    EXPECT_EQ(R(e.pooledVariance), "22.917");
    EXPECT_EQ(R(e.pooledWinsorizedVariance), "11.806");
    EXPECT_EQ(R(e[EstimateKind::D]), "1.817");
    EXPECT_EQ(R(e[EstimateKind::RobustD]), "1.626");

    ASSERT_TRUE(ComputeEffectSizes(g1, g2, 2, e));
    EXPECT_EQ(R(e[EstimateKind::D]), "0.908");
    EXPECT_EQ(R(e[EstimateKind::RobustD]), "0.813");
    EXPECT_EQ(R(e.pooledVariance), "22.917");
}

TEST(GroupStatistics, TiesAtTheEndsLeaveRobustDUndefined) {
    const GroupStats g1 = Stats({1, 1, 1, 1, 5});
    EXPECT_EQ(g1.trimmedMean, 1.0f);
    EXPECT_EQ(g1.winsorizedVariance, 0.0f);
    EXPECT_EQ(R(g1.variance), "3.2");
    EffectSizes e;
    ASSERT_TRUE(ComputeEffectSizes(g1, Stats(Range(1, 10)), 1, e));
    EXPECT_FALSE(IsMissing(e[EstimateKind::D]));
    EXPECT_TRUE(IsMissing(e[EstimateKind::RobustD]));
}

TEST(GroupStatistics, TrimmingCounts) {
    // Sizes 2 to 4 trim nothing: trimmed mean and Winsorized variance equal the plain ones.
    for (int n = 2; n <= 4; ++n) {
        const GroupStats g = Stats(Range(1, n));
        EXPECT_EQ(g.trimmedMean, g.mean) << n;
        EXPECT_EQ(g.winsorizedVariance, g.variance) << n;
    }
    // Size 5 trims one value at each end: 100 and -100 drop out of the trimmed mean.
    EXPECT_EQ(Stats({-100, 2, 3, 4, 100}).trimmedMean, 3.0f);
    // Size 10 trims two.
    EXPECT_EQ(Stats({-100, -100, 1, 2, 3, 4, 5, 6, 100, 100}).trimmedMean, 3.5f);
}

TEST(GroupStatistics, OnlyAResultBeyondTheSingleRangeOverflows) {
    GroupStats g;
    std::vector<float> scratch;
    // Squares and sums in double fit: only the variance itself can leave the single range.
    EXPECT_TRUE(ComputeGroupStats({1e19f, 1.0f}, g, scratch));
    EXPECT_TRUE(ComputeGroupStats({3e38f, 3e38f, 3e38f}, g, scratch));
    EXPECT_EQ(g.mean, 3e38f);
    EXPECT_EQ(g.variance, 0.0f);
    EXPECT_EQ(ComputeGroupStats({3e19f, 1.0f}, g, scratch).overflow, Overflow::Variance);
    // The variance is tested first: the Winsorized one never exceeds it.
    EXPECT_EQ(ComputeGroupStats({-3e19f, -1e19f, 0, 1e19f, 3e19f}, g, scratch).overflow,
              Overflow::Variance);

    EffectSizes e;
    GroupStats tiny = {2, 0.0f, 0.0f, 1e-40f, 1e-40f, {0, 0, 1e-40, 1e-40}};
    GroupStats far = {2, 1e30f, 1e30f, 1.0f, 1.0f, {1e30, 1e30, 1, 1}};
    Checked c = ComputeEffectSizes(tiny, far, 1, e);
    EXPECT_EQ(c.overflow, Overflow::Estimate);
    EXPECT_EQ(c.estimate, EstimateKind::D);
    tiny.exact.variance = 1;
    c = ComputeEffectSizes(tiny, far, 1, e);
    EXPECT_EQ(c.overflow, Overflow::Estimate);
    EXPECT_EQ(c.estimate, EstimateKind::RobustD);
    EXPECT_TRUE(ComputeEffectSizes(tiny, far, 2, e));
}

namespace {

// The statistics in long double, unrounded.
struct LongMoments {
    long double n, mean, trimmedMean, variance, winsorizedVariance;
};

LongMoments LongDoubleMoments(const GroupSample& x) {
    const auto n = static_cast<long double>(x.size());
    long double s = 0;
    for (float v : x) s += v;
    const long double m = s / n;
    long double d = 0;
    for (float v : x) d += (v - m) * (v - m);
    std::vector<float> a(x);
    std::sort(a.begin(), a.end());
    const std::size_t g = static_cast<std::size_t>(TrimCount(static_cast<std::int64_t>(x.size())));
    long double t = 0;
    for (std::size_t j = g; j < a.size() - g; ++j) t += a[j];
    long double wm = 0;
    for (std::size_t j = 0; j < a.size(); ++j) wm += a[std::clamp(j, g, a.size() - g - 1)];
    wm /= n;
    long double wd = 0;
    for (std::size_t j = 0; j < a.size(); ++j) {
        const long double e = a[std::clamp(j, g, a.size() - g - 1)] - wm;
        wd += e * e;
    }
    return {n, m, t / (n - 2 * static_cast<long double>(g)), d / (n - 1), wd / (n - 1)};
}

// Each statistic rounded to single once: the reference the double sums must meet within one
// single-precision unit.
GroupStats LongDoubleReference(const GroupSample& x) {
    const LongMoments m = LongDoubleMoments(x);
    return {static_cast<std::int32_t>(x.size()),      static_cast<float>(m.mean),
            static_cast<float>(m.trimmedMean),        static_cast<float>(m.variance),
            static_cast<float>(m.winsorizedVariance), {}};
}

bool WithinOneUnit(float got, float want) {
    return got == want || got == std::nextafter(want, 2 * want + 1) ||
           got == std::nextafter(want, 2 * want - 1);
}

void ExpectReference(const GroupSample& x, const char* what) {
    const GroupStats got = Stats(x), want = LongDoubleReference(x);
    EXPECT_TRUE(WithinOneUnit(got.mean, want.mean)) << what << " " << got.mean << " " << want.mean;
    EXPECT_TRUE(WithinOneUnit(got.trimmedMean, want.trimmedMean)) << what;
    EXPECT_TRUE(WithinOneUnit(got.variance, want.variance))
        << what << " " << got.variance << " " << want.variance;
    EXPECT_TRUE(WithinOneUnit(got.winsorizedVariance, want.winsorizedVariance)) << what;
}

GroupSample Normal(std::mt19937& gen, double mean, double sd, std::size_t n) {
    std::normal_distribution<double> dist(mean, sd);
    GroupSample x(n);
    for (float& v : x) v = static_cast<float>(dist(gen));
    return x;
}

}  // namespace

TEST(GroupStatistics, OffsetDataMeetTheLongDoubleReference) {
    std::mt19937 gen(19900101);
    ExpectReference(Normal(gen, 293.15, 0.5, 200), "kelvin");
    ExpectReference(Normal(gen, 1990, 5, 100), "years");
    ExpectReference(Normal(gen, 2.5e6, 3, 500), "grams");
    ExpectReference(Normal(gen, 100, 15, 1000000), "a million scores");
}

TEST(ComputeEffectSizes, OffsetDataMeetTheLongDoubleReference) {
    // Means and spreads whose d lies near 0.5: computed from rounded means, the difference of
    // two offset means would lose most of its digits.
    std::mt19937 gen(20261210);
    const struct {
        const char* what;
        double mean, sd;
    } offsets[] = {{"kelvin", 293.15, 0.5}, {"years", 1990, 5}, {"grams", 2.5e6, 3}};
    for (const auto& o : offsets) {
        const GroupSample x1 = Normal(gen, o.mean, o.sd, 200);
        const GroupSample x2 = Normal(gen, o.mean + 0.5 * o.sd, o.sd, 200);
        const LongMoments m1 = LongDoubleMoments(x1), m2 = LongDoubleMoments(x2);
        for (const int chosen : {1, 2}) {
            const LongMoments& k = chosen == 2 ? m2 : m1;
            const auto d = static_cast<float>((m2.mean - m1.mean) / std::sqrt(k.variance));
            const auto robustD =
                static_cast<float>(std::sqrt(0.4129L) * (m2.trimmedMean - m1.trimmedMean) /
                                   std::sqrt(k.winsorizedVariance));
            EffectSizes e;
            ASSERT_TRUE(ComputeEffectSizes(Stats(x1), Stats(x2), chosen, e));
            EXPECT_TRUE(WithinOneUnit(e[EstimateKind::D], d))
                << o.what << " " << e[EstimateKind::D] << " " << d;
            EXPECT_TRUE(WithinOneUnit(e[EstimateKind::RobustD], robustD))
                << o.what << " " << e[EstimateKind::RobustD] << " " << robustD;
        }
    }
}

TEST(GroupStatistics, EqualValuesAndLargeOffsets) {
    const GroupStats big = Stats({4000001, 4000002, 4000003, 4000004});
    EXPECT_EQ(big.mean, 4000002.5f);
    EXPECT_EQ(R(big.variance), "1.667");
    EXPECT_EQ(R(big.winsorizedVariance), "1.667");
    ExpectReference({4000001, 4000002, 4000003, 4000004}, "4000001..4000004");

    // A variance is zero exactly when all values are equal.
    for (const float v : {0.1f, 293.15f, 4000001.0f, -3e38f}) {
        const GroupStats flat = Stats(GroupSample(7, v));
        EXPECT_EQ(flat.mean, v);
        EXPECT_EQ(flat.trimmedMean, v);
        EXPECT_EQ(flat.variance, 0.0f) << v;
        EXPECT_EQ(flat.winsorizedVariance, 0.0f) << v;
    }
    EXPECT_GT(Stats({1234567.5f, 1234568.75f}).variance, 0.0f);
}

TEST(GroupStatistics, MatchesTheRankCountSortBitForBit) {
    std::mt19937 gen(20261208);
    for (int trial = 0; trial < 400; ++trial) {
        const int n = 2 + static_cast<int>(gen() % 60);
        std::uniform_int_distribution<int> pick(0, 8);  // few distinct values: many ties
        GroupSample x(n);
        for (float& v : x) v = static_cast<float>(pick(gen)) * 0.37f - 1.1f;
        if (trial % 7 == 0) x[0] = -0.0f;

        GroupStats fast, reference;
        std::vector<float> scratch;
        ASSERT_TRUE(ComputeGroupStats(x, fast, scratch));
        const std::vector<float> sorted = RankCountSort(x);
        ASSERT_TRUE(ComputeGroupStatsPresorted(x.data(), sorted.data(), n, reference));
        EXPECT_TRUE(SameBits(fast.mean, reference.mean));
        EXPECT_TRUE(SameBits(fast.variance, reference.variance));
        EXPECT_TRUE(SameBits(fast.trimmedMean, reference.trimmedMean));
        EXPECT_TRUE(SameBits(fast.winsorizedVariance, reference.winsorizedVariance));
    }
}

namespace {

// Every extraction below, read where it lies instead: the same values in the same order.
GroupPair ExtractAndView(const DataMatrix& m, std::int32_t cases, std::int32_t dependent,
                         std::int32_t grouping, float code1, float code2) {
    const GroupPair p = ExtractGroups(m, cases, dependent, grouping, code1, code2);
    const auto views = GroupValues::OfMatrix(m, cases, dependent, grouping, code1, code2);
    for (int group : {1, 2}) {
        const GroupValues& view = group == 1 ? views.first : views.second;
        GroupSample seen;
        view.forEach([&](float v) { seen.push_back(v); });
        EXPECT_EQ(seen, group == 1 ? p.group1 : p.group2) << code1 << " " << code2;
        EXPECT_EQ(view.size(), std::ssize(seen));
    }
    return p;
}

}  // namespace

TEST(ExtractGroups, CaseOrderMissingAndCodes) {
    DataMatrix m(6, 2);
    const float rows[6][2] = {{1, 1}, {2, 2}, {kMissing, 1}, {4, 1.5f}, {5, kMissing}, {6, 1}};
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 2; ++j) m(i + 1, j + 1) = rows[i][j];

    GroupPair p = ExtractAndView(m, 6, 1, 2, 1.0f, 2.0f);
    EXPECT_EQ(p.group1, (GroupSample{1, 6}));  // the missing dependent cell is skipped
    EXPECT_EQ(p.group2, (GroupSample{2}));

    p = ExtractAndView(m, 6, 1, 2, 1.5f, 1.0f);
    EXPECT_EQ(p.group1, (GroupSample{4}));
    EXPECT_EQ(p.group2, (GroupSample{1, 6}));

    p = ExtractAndView(m, 6, 1, 2, 1.0f, 1.0f);  // equal codes: everything goes to Group 1
    EXPECT_EQ(p.group1, (GroupSample{1, 6}));
    EXPECT_TRUE(p.group2.empty());

    p = ExtractAndView(m, 6, 1, 2, kMissing, 2.0f);  // a missing grouping cell matches its code
    EXPECT_EQ(p.group1, (GroupSample{5}));

    p = ExtractAndView(m, 6, 2, 2, 1.0f, 2.0f);  // the same column for both roles
    EXPECT_EQ(p.group1, (GroupSample{1, 1, 1}));

    p = ExtractAndView(m, 6, 3, 2, 1.0f, 2.0f);  // a column past the stored ones reads 0
    EXPECT_EQ(p.group1, (GroupSample{0, 0, 0}));
    p = ExtractAndView(m, 4, 1, 2, 1.0f, 2.0f);  // fewer cases than rows
    EXPECT_EQ(p.group1, (GroupSample{1}));
}
