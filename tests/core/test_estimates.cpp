#include <gtest/gtest.h>

#include <string>

#include "analysis/AnalysisError.h"
#include "analysis/EffectSizeAnalysis.h"
#include "analysis/render/BootstrapDistributions.h"
#include "analysis/render/EffectSizeJson.h"
#include "analysis/render/EffectSizeReport.h"
#include "analysis/render/PaperSentence.h"
#include "analysis/render/TrialValuesCsv.h"
#include "common/Single.h"

using namespace corvane;

namespace {

// Var 1 by Var 2, groups 1 and 2, three trials, seed 7, whose list holds the robust estimate
// alone.
EffectSizeOutcome RobustOnly() {
    EffectSizeOutcome o;
    o.subject.groups.code1 = 1;
    o.subject.groups.code2 = 2;
    o.subject.group1Phrase = "Var 2 = 1";
    o.subject.group2Phrase = "Var 2 = 2";
    BootstrapResult& r = o.result;
    r.group1 = {5, 1, 1, 2, 1, {}};
    r.group2 = {5, 2, 2, 2, 1, {}};
    r.trials = 3;
    r.seed = 7;
    r.estimates = {{EstimateKind::RobustD, 0.5f, {0.5f, kMissing, -0.25f}, 2, {}, {-0.25f, 0.5f}}};
    return o;
}

std::size_t At(const std::string& text, const std::string& part) {
    const std::size_t at = text.find(part);
    EXPECT_NE(at, std::string::npos) << part;
    return at;
}

}  // namespace

// Every output lists what the run's list holds, named by each estimate's description, and
// nothing it does not hold.
TEST(EstimateOutputs, FollowTheListOfEstimates) {
    const EffectSizeOutcome o = RobustOnly();
    const std::string report = BuildReport(o);
    EXPECT_EQ(report.find("\r\nCohen's D"), std::string::npos);
    At(report,
       "\r\nRobust Cohen's D = 0.5 (Using variance from Group 1)\r\n\r\n"
       "95% CI for population Robust D = (-0.25, 0.5)\r\n---");
    At(report, "trials = 3\r\nNumber of valid robust D bootstrap trials = 2\r\nBootstrap seed");

    EXPECT_EQ(TrialValuesCsv(o.result), "trial,robust_d\n1,0.5\n2,\n3,-0.25\n");

    const std::string json = EffectSizeJson(o, "f.txt", true);
    for (const char* field : {"\"d\"", "\"d_", "\"valid_d_"}) {
        EXPECT_EQ(json.find(field), std::string::npos) << field;
    }
    EXPECT_LT(At(json, "\"robust_d\": 0.5,"), At(json, "\"robust_d_interval\": {"));
    EXPECT_LT(At(json, "\"robust_d_interval\": {"), At(json, "\"valid_robust_d_trials\": 2,"));
    EXPECT_LT(At(json, "\"valid_robust_d_trials\": 2,"), At(json, "\"robust_d_histogram\": ["));

    EXPECT_EQ(PaperSentence(o),
              "For Var 1, Var 2 = 2 (n = 5) against Var 2 = 1 (n = 5): robust \xCE\x94 (Algina, "
              "Keselman, & Penfield, 2005; 20% trimmed means, Winsorized standard deviation) = "
              "0.50, 95% CI [\xE2\x88\x92"
              "0.25, 0.50], standardized by the standard deviation of Var 2 = 1; percentile "
              "bootstrap, 3 resamples, seed 7.");

    const BootstrapDistributions pictures = MakeBootstrapDistributions(o);
    ASSERT_EQ(pictures.estimates.size(), 1u);
    EXPECT_EQ(pictures.estimates[0].kind, EstimateKind::RobustD);
    EXPECT_EQ(pictures.estimates[0].title,
              "Robust Cohen's D: Var 1 by Var 2, groups 1 and 2, 2 of 3 trials, 95% CI");
}

// A run that asked for BCa names it in every output, and says where an estimate fell back to
// its percentile interval; the run's JSON names the method only then.
TEST(EstimateOutputs, NameTheIntervalMethodOfEachEstimate) {
    EffectSizeOutcome o = RobustOnly();
    o.settings.method = IntervalMethod::BCa;
    Estimate robust = o.result.estimates[0];
    robust.fallback = BcaFallback::OneSided;
    Estimate d = robust;
    d.kind = EstimateKind::D;
    d.method = IntervalMethod::BCa;
    d.fallback = BcaFallback::None;
    o.result.estimates = {d, robust};

    At(BuildReport(o),
       "\r\n95% BCa CI for population D = (-0.25, 0.5)\r\n"
       "95% CI for population Robust D = (-0.25, 0.5)\r\n"
       "BCa CI for population Robust D not available: every valid trial lies on one side of the "
       "observed value; the percentile CI is shown.\r\n---");
    const std::string json = EffectSizeJson(o, "f.txt", false);
    At(json, "\"level\": 95,\n  \"interval_method\": \"bca\",\n  \"variance_of\"");
    At(json,
       "\"d_interval\": {\n    \"lower\": -0.25,\n    \"upper\": 0.5,\n    \"method\": "
       "\"bca\"\n  },");
    At(json,
       "\"upper\": 0.5,\n    \"method\": \"percentile\",\n    \"bca_not_available\": "
       "\"every valid trial lies on one side of the observed value\"\n  },");
    const std::string sentence = PaperSentence(o);
    At(sentence,
       "= 0.50, 95% CI [\xE2\x88\x92"
       "0.25, 0.50], standardized");
    At(sentence,
       "0.50] (percentile bootstrap: BCa not available); bias-corrected and "
       "accelerated bootstrap, 3 resamples, seed 7.");
    EXPECT_EQ(MakeBootstrapDistributions(o).of(EstimateKind::D).title,
              "Cohen's D: Var 1 by Var 2, groups 1 and 2, 2 of 3 trials, 95% BCa CI");
}

// The texts the windows show in their boxes and the batch tool writes, each kind with its
// parameters; the overflow of an estimate is worded from the estimate's description.
TEST(AnalysisErrorText, EveryKindWithItsParameters) {
    using K = AnalysisError::Kind;
    const struct {
        AnalysisError error;
        const char* text;
    } cases[] = {
        {{.kind = K::ValuesTooLarge, .variable = 4},
         "The values of Var 4 are too large for this analysis."},
        {{.kind = K::VarianceTooLarge, .group = 1, .variable = 4},
         "The variance of Var 4 in Group 1 is too large for this analysis."},
        {{.kind = K::WinsorizedVarianceTooLarge, .group = 2, .variable = 4},
         "The Winsorized variance of Var 4 in Group 2 is too large for this analysis."},
        {{.kind = K::EstimateCannotBeShown, .group = 2, .estimate = EstimateKind::D},
         "Cohen's D cannot be shown: Group 2's variance is too small against the difference of "
         "the means."},
        {{.kind = K::EstimateCannotBeShown, .group = 1, .estimate = EstimateKind::RobustD},
         "Robust Cohen's D cannot be shown: Group 1's Winsorized variance is too small against "
         "the difference of the trimmed means."},
        {{.kind = K::GroupValueNotHeld,
          .group = 2,
          .variable = 3,
          .variableName = "arm",
          .values = {"a", "b"}},
         "The value provided for Group 2 is not valid. Var 3 (arm) holds: a, b."},
        {{.kind = K::DependentHoldsText, .variable = 5, .text = "n/a", .row = 12},
         "Var 5 holds text (\"n/a\" in row 12), so it cannot be the dependent variable."},
        {{.kind = K::GroupTooSmall, .group = 2},
         "There is an insufficient number of observations for Group 2."},
        {{.kind = K::ZeroVariance, .group = 1}, "Group 1 has a zero variance."},
        {{K::Cancelled}, "The analysis was stopped."},
        {{K::SeedInvalid},
         "The seed must be empty or a whole number from 0 to 18446744073709551615."},
        {{K::NothingTicked}, "At least one item must be selected."},
    };
    for (const auto& c : cases) {
        const AnalysisMessage m = AnalysisErrorText(c.error);
        EXPECT_EQ(m.title, "Analysis Error") << c.text;
        EXPECT_EQ(m.text, c.text);
    }
}
