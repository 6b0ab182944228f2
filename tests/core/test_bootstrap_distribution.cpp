#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "Samples.h"
#include "analysis/EffectSizeAnalysis.h"
#include "analysis/render/BootstrapDistributions.h"
#include "analysis/render/EffectSizeReport.h"
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

// The run as the analysis hands it on: Var 1 by Var 2, groups 1 and 2.
EffectSizeOutcome Outcome(BootstrapResult r, const Case& c) {
    EffectSizeOutcome o;
    o.subject.dependent = 1;
    o.subject.grouping = 2;
    o.subject.groups.code1 = 1;
    o.subject.groups.code2 = 2;
    o.settings.trials = c.trials;
    o.settings.level = c.level;
    o.result = std::move(r);
    return o;
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
        ASSERT_EQ(one.estimates.size(), kEstimateCount);
        for (std::size_t k = 0; k < kEstimateCount; ++k) {
            const std::vector<float>& a = one.estimates[k].trials;
            const std::vector<float>& b = many.estimates[k].trials;
            ASSERT_EQ(a.size(), static_cast<std::size_t>(c.trials));
            for (std::size_t t = 0; t < a.size(); ++t) ASSERT_TRUE(SameBits(a[t], b[t])) << t;
        }
    }
}

TEST(BootstrapDistribution, BoundsAreTheReportedOrderStatisticsOfTheTrialColumn) {
    bool belowT = false;
    for (const Case& c : Cases()) {
        const BootstrapResult r = RunCase(c);
        for (const Estimate& e : r.estimates) {
            const Interval& interval = e.interval;
            const std::vector<float> sorted = ValidAscending(e.trials);
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
        const EffectSizeOutcome outcome = Outcome(RunCase(c), c);
        const BootstrapResult& r = outcome.result;
        const BootstrapDistributions dists = MakeBootstrapDistributions(outcome);
        const std::string report = BuildReport(outcome);
        const Estimate &d = r.estimate(EstimateKind::D),
                       &robust = r.estimate(EstimateKind::RobustD);
        const BootstrapDistribution& dPicture = dists.of(EstimateKind::D).picture;
        const BootstrapDistribution& robustPicture = dists.of(EstimateKind::RobustD).picture;

        ASSERT_EQ(dists.estimates.size(), r.estimates.size());
        for (std::size_t k = 0; k < r.estimates.size(); ++k) {
            const BootstrapDistribution& picture = dists.estimates[k].picture;
            ExpectEachValueInOneBin(picture, r.estimates[k].trials);
            EXPECT_EQ(picture.valid(), r.estimates[k].valid);
            EXPECT_EQ(picture.attempted(), c.trials);
            const auto bins = static_cast<std::int32_t>(picture.bins().size());
            EXPECT_GE(bins, BootstrapDistribution::kMinBins);
            EXPECT_LE(bins, BootstrapDistribution::kMaxBins);
        }

        EXPECT_TRUE(SameBits(dPicture.observed().value, d.observed));
        EXPECT_TRUE(SameBits(dPicture.lower().value, d.interval.lower));
        EXPECT_TRUE(SameBits(dPicture.upper().value, d.interval.upper));
        EXPECT_TRUE(SameBits(robustPicture.lower().value, robust.interval.lower));
        EXPECT_TRUE(SameBits(robustPicture.upper().value, robust.interval.upper));
        EXPECT_EQ(robustPicture.hasObserved(), !IsMissing(robust.observed));
        const std::string ci = " CI for population ";
        EXPECT_NE(report.find("Cohen's D = " + dPicture.observed().text + " "), std::string::npos);
        EXPECT_NE(report.find(ci + "D = (" + dPicture.lower().text + ", " + dPicture.upper().text +
                              ")\r\n"),
                  std::string::npos);
        EXPECT_NE(report.find(ci + "Robust D = (" + robustPicture.lower().text + ", " +
                              robustPicture.upper().text + ")\r\n"),
                  std::string::npos);
        EXPECT_NE(dists.of(EstimateKind::RobustD)
                      .title.find(std::to_string(robust.valid) + " of " + std::to_string(c.trials) +
                                  " trials"),
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

TEST(BootstrapDistribution, FileNamesComeFromTheVariablesAndGroups) {
    const Case c = Cases().front();
    EffectSizeOutcome outcome = Outcome(RunCase(c), c);
    EXPECT_EQ(MakeBootstrapDistributions(outcome).fileStem, "bootstrap-Var1-by-Var2-1-vs-2");

    // Names and labels keep what any file system takes; the rest becomes one "_", a long part
    // is cut where a word ends, and a part with nothing left is named by its place.
    EffectSizeSubject& s = outcome.subject;
    s.dependentName = "reaction time (ms)";
    s.groupingName = "gr\xC3\xBCppe/arm";
    s.groups.labelled = true;
    s.groups.label1 = "treatment_with_placebo_followup";
    s.groups.label2 = "?*";
    EXPECT_EQ(MakeBootstrapDistributions(outcome).fileStem,
              "bootstrap-reaction_time_ms-by-gr\xC3\xBCppe_arm-treatment_with_placebo-vs-group2");
    // A long word is cut on a character boundary.
    s.groups.label1 = "a";
    for (int i = 0; i < 15; ++i) s.groups.label1 += "\xC3\xA9";
    const std::string stem = MakeBootstrapDistributions(outcome).fileStem;
    EXPECT_EQ(stem.substr(stem.find("arm-") + 4), s.groups.label1.substr(0, 29) + "-vs-group2");
}
