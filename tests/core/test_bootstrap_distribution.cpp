#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "Samples.h"
#include "analysis/BootstrapDistribution.h"
#include "analysis/EffectSizeAnalysis.h"
#include "analysis/EffectSizeReport.h"
#include "common/Single.h"

using namespace corvane;
using namespace corvane::test;

namespace {

struct Case {
    GroupSample group1;
    GroupSample group2;
    std::int32_t trials;
    float level;
    std::uint64_t seed;
};

// Valid counts at T, and below it for d alone and for both effect sizes.
std::vector<Case> Cases() {
    return {
        {Range(1, 40), Range(5, 60, 2), 600, 0.95f, 1},
        {Range(1, 40), Range(5, 60, 2), 1000, 0.99f, 77},
        {{3, 7}, Range(1, 10), 800, 0.9f, 99},
        {{1, 1, 1, 1, 5}, Range(1, 10), 2000, 0.95f, 12345},
        {{1, 1, 1, 1, 5}, {2, 8, 2, 9}, 300, 0.99f, 4},
    };
}

BootstrapResult RunCase(const Case& c, unsigned threads = 0) {
    BootstrapSettings s;
    s.trials = c.trials;
    s.level = c.level;
    RunOptions options;
    options.threads = threads;
    auto r = RunBootstrap(c.group1, c.group2, s, c.seed, {}, options);
    EXPECT_TRUE(r.ok());
    return r.ok() ? std::move(r).value() : BootstrapResult{};
}

std::vector<float> ValidAscending(const std::vector<float>& trials) {
    std::vector<float> v;
    for (const float x : trials) {
        if (!IsMissing(x)) v.push_back(x);
    }
    std::stable_sort(v.begin(), v.end());
    return v;
}

void ExpectEachValueInOneBin(const BootstrapDistribution& dist, const std::vector<float>& trials) {
    const auto& bins = dist.bins();
    std::vector<std::int32_t> seen(bins.size(), 0);
    for (const float v : trials) {
        if (IsMissing(v)) continue;
        int holders = 0;
        for (std::size_t i = 0; i < bins.size(); ++i) {
            const bool last = i + 1 == bins.size();
            if (v >= bins[i].lower && (v < bins[i].upper || (last && v <= bins[i].upper))) {
                ++holders;
                ++seen[i];
            }
        }
        EXPECT_EQ(holders, 1) << v;
    }
    for (std::size_t i = 0; i < bins.size(); ++i) EXPECT_EQ(seen[i], bins[i].count) << i;
}

}  // namespace

TEST(BootstrapDistribution, TrialColumnsAreInTrialOrderForAnyThreadCount) {
    for (const Case& c : Cases()) {
        const BootstrapResult one = RunCase(c, 1), many = RunCase(c, 3);
        ASSERT_EQ(one.trialD.size(), static_cast<std::size_t>(c.trials));
        ASSERT_EQ(one.trialRobustD.size(), static_cast<std::size_t>(c.trials));
        for (std::size_t t = 0; t < one.trialD.size(); ++t) {
            ASSERT_TRUE(SameBits(one.trialD[t], many.trialD[t])) << t;
            ASSERT_TRUE(SameBits(one.trialRobustD[t], many.trialRobustD[t])) << t;
        }
    }
}

TEST(BootstrapDistribution, BoundsAreTheReportedOrderStatisticsOfTheTrialColumn) {
    bool belowT = false;
    for (const Case& c : Cases()) {
        const BootstrapResult r = RunCase(c);
        const std::pair<const std::vector<float>*, Interval> columns[] = {
            {&r.trialD, r.dInterval}, {&r.trialRobustD, r.robustDInterval}};
        for (const auto& [column, interval] : columns) {
            const std::vector<float> sorted = ValidAscending(*column);
            const auto m = static_cast<std::int32_t>(sorted.size());
            belowT = belowT || m < c.trials;
            const PercentilePositions pos = PercentilePositionsFor(m, c.level);
            EXPECT_TRUE(SameBits(sorted[pos.lower - 1], interval.lower));
            EXPECT_TRUE(SameBits(sorted[pos.upper - 1], interval.upper));
        }
    }
    EXPECT_TRUE(belowT);
}

TEST(BootstrapDistribution, BinsCountEveryValidTrialOnceAndMarkersAreTheReportedValues) {
    for (const Case& c : Cases()) {
        const BootstrapResult r = RunCase(c);
        EffectSizeRequest request;
        request.dependent = 1;
        request.grouping = 2;
        request.code1Text = "1";
        request.code2Text = "2";
        request.settings.trials = c.trials;
        request.settings.level = c.level;
        const BootstrapDistributions dists = MakeBootstrapDistributions({}, request, r);
        const std::string report = BuildReport(r, request.settings, 1, 2);

        ExpectEachValueInOneBin(dists.d, r.trialD);
        ExpectEachValueInOneBin(dists.robustD, r.trialRobustD);
        EXPECT_EQ(dists.d.valid(), r.validD);
        EXPECT_EQ(dists.robustD.valid(), r.validRobustD);
        for (const auto* dist : {&dists.d, &dists.robustD}) {
            EXPECT_EQ(dist->attempted(), c.trials);
            const auto bins = static_cast<std::int32_t>(dist->bins().size());
            EXPECT_GE(bins, BootstrapDistribution::kMinBins);
            EXPECT_LE(bins, BootstrapDistribution::kMaxBins);
        }

        EXPECT_TRUE(SameBits(dists.d.observed().value, r.observed.d));
        EXPECT_TRUE(SameBits(dists.d.lower().value, r.dInterval.lower));
        EXPECT_TRUE(SameBits(dists.d.upper().value, r.dInterval.upper));
        EXPECT_TRUE(SameBits(dists.robustD.lower().value, r.robustDInterval.lower));
        EXPECT_TRUE(SameBits(dists.robustD.upper().value, r.robustDInterval.upper));
        EXPECT_EQ(dists.robustD.hasObserved(), !IsMissing(r.observed.robustD));
        const std::string ci = " CI for population ";
        EXPECT_NE(report.find("Cohen's D = " + dists.d.observed().text + " "), std::string::npos);
        EXPECT_NE(report.find(ci + "D = (" + dists.d.lower().text + ", " + dists.d.upper().text +
                              ")\r\n"),
                  std::string::npos);
        EXPECT_NE(report.find(ci + "Robust D = (" + dists.robustD.lower().text + ", " +
                              dists.robustD.upper().text + ")\r\n"),
                  std::string::npos);
        EXPECT_NE(dists.robustDTitle.find(std::to_string(r.validRobustD) + " of " +
                                          std::to_string(c.trials) + " trials"),
                  std::string::npos);
    }
}

TEST(BootstrapDistribution, DegenerateValues) {
    // No valid trial: no bars, and the report's (0, 0) is not drawn.
    const BootstrapDistribution none({kMissing, kMissing}, 0.5f, {0, 0});
    EXPECT_TRUE(none.bins().empty());
    EXPECT_FALSE(none.hasBounds());
    EXPECT_LT(none.axisLow(), 0.5);
    EXPECT_GT(none.axisHigh(), 0.5);

    // One value, or all equal: ten bars around it, all of it in the sixth.
    for (const std::vector<float>& same :
         {std::vector<float>{2.5f, kMissing}, std::vector<float>(7, -4.0f)}) {
        const BootstrapDistribution d(same, same[0], {same[0], same[0]});
        ASSERT_EQ(d.bins().size(), 10u);
        EXPECT_EQ(d.bins()[5].count, d.valid());
        EXPECT_LE(d.bins()[5].lower, same[0]);
        EXPECT_GT(d.bins()[5].upper, same[0]);
        EXPECT_LT(d.axisLow(), same[0]);
        EXPECT_GT(d.axisHigh(), same[0]);
    }

    // IQR 0 under a spread: the narrowest bars allowed; the outliers land in the end bars.
    std::vector<float> piled(50, 1.0f);
    piled[0] = 0.0f;
    piled[1] = 3.0f;
    const BootstrapDistribution pile(piled, kMissing, {1, 1});
    ASSERT_EQ(pile.bins().size(), 100u);
    EXPECT_EQ(pile.bins().front().count, 1);
    EXPECT_EQ(pile.bins().back().count, 1);
    EXPECT_EQ(pile.highestCount(), 48);
    EXPECT_FALSE(pile.hasObserved());

    // 0 .. 99999: a range of 99999 over bars 2 * 49999.5 / 100000^(1/3) wide needs 46.4 of
    // them; a far outlier asks for more than 100 and gets 100; a small sample fewer than 10.
    std::vector<double> wide(100000);
    for (std::size_t i = 0; i < wide.size(); ++i) wide[i] = static_cast<double>(i);
    EXPECT_EQ(FreedmanDiaconisBins(wide).size(), 47u);
    wide.back() = 1e9;
    EXPECT_EQ(FreedmanDiaconisBins(wide).size(), 100u);
    EXPECT_EQ(FreedmanDiaconisBins({1, 2, 3}).size(), 10u);
}

TEST(BootstrapDistribution, TheAxisSpansTheCentralTrialsAndTheMarkersAndCountsTheRest) {
    // 0 .. 1999 given backwards, among undefined trials: five trials on each side lie beyond.
    std::vector<float> trials{kMissing};
    for (int i = 1999; i >= 0; --i) trials.push_back(static_cast<float>(i));
    trials.push_back(kMissing);
    auto expectView = [](const BootstrapDistribution& d, double low, double high,
                         std::int32_t below, std::int32_t above, const std::string& text) {
        EXPECT_EQ(d.axisLow(), low);
        EXPECT_EQ(d.axisHigh(), high);
        EXPECT_EQ(d.belowAxis(), below);
        EXPECT_EQ(d.aboveAxis(), above);
        EXPECT_EQ(d.beyondAxisText(), text);
        ASSERT_FALSE(d.viewBins().empty());
        EXPECT_EQ(d.viewBins().front().lower, low);
        EXPECT_EQ(d.viewBins().back().upper, high);
        std::int32_t shown = 0;
        for (const HistogramBin& b : d.viewBins()) shown += b.count;
        EXPECT_EQ(shown + below + above, d.valid());
        // The batch tool's bins still run over every value.
        EXPECT_EQ(d.bins().front().lower, 0);
        EXPECT_EQ(d.bins().back().upper, 1999);
    };
    expectView(BootstrapDistribution(trials, 1000, {50, 1950}), 5, 1994, 5, 5,
               "5 trials below and 5 above the axis not shown");
    // Markers in a tail or past every trial widen the span.
    expectView(BootstrapDistribution(trials, 2500, {2, 1950}), 2, 2500, 2, 0,
               "2 trials below the axis not shown");
    expectView(BootstrapDistribution(trials, kMissing, {1, 1997}), 1, 1997, 1, 2,
               "1 trial below and 2 above the axis not shown");

    // Under 400 valid trials every one is shown.
    trials.resize(400);
    const BootstrapDistribution few(trials, 1800, {1700, 1900});
    EXPECT_EQ(few.axisLow(), 1601);
    EXPECT_EQ(few.axisHigh(), 1999);
    EXPECT_EQ(few.beyondAxisText(), "");
}
