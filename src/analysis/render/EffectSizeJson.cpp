#include "analysis/render/EffectSizeJson.h"

#include "analysis/BootstrapChoices.h"
#include "analysis/render/BootstrapDistributions.h"
#include "analysis/render/JsonText.h"

namespace corvane {

namespace {

std::string JsonGroup(const GroupStats& g) {
    return JsonObject(2)
        .add("n", std::to_string(g.n))
        .add("mean", JsonNumber(g.mean))
        .add("trimmed_mean", JsonNumber(g.trimmedMean))
        .add("variance", JsonNumber(g.variance))
        .add("winsorized_variance", JsonNumber(g.winsorizedVariance))
        .str();
}

// Null when no trial gave a value: there is no interval. A run that asked for another method
// than the percentile interval names each interval's method, and why BCa fell back.
std::string JsonInterval(const Estimate& e, IntervalMethod asked) {
    if (e.valid == 0) return "null";
    const bool named = asked != IntervalMethod::Percentile;
    return JsonObject(2)
        .add("lower", JsonNumber(e.interval.lower))
        .add("upper", JsonNumber(e.interval.upper))
        .addIf(named, "method", JsonString(IntervalMethodKey(e.method)))
        .addIf(e.fallback != BcaFallback::None, "bca_not_available",
               JsonString(BcaFallbackReason(e.fallback)))
        .str();
}

// The bars of one histogram as a JSON array, one object per bar on its own line.
std::string JsonHistogram(const BootstrapDistribution& distribution, int indent) {
    const auto& bins = distribution.bins();
    if (bins.empty()) return "[]";
    const std::string inner(static_cast<std::size_t>(indent + 2), ' ');
    std::string out = "[\n";
    for (std::size_t i = 0; i < bins.size(); ++i) {
        out += inner + "{\"lower\": " + JsonNumber(bins[i].lower) +
               ", \"upper\": " + JsonNumber(bins[i].upper) +
               ", \"count\": " + std::to_string(bins[i].count) + "}";
        out += i + 1 < bins.size() ? ",\n" : "\n";
    }
    return out + std::string(static_cast<std::size_t>(indent), ' ') + "]";
}

void AddSubject(JsonObject& json, const EffectSizeOutcome& outcome, const std::string& file) {
    const EffectSizeSubject& s = outcome.subject;
    const ChosenGroups& g = s.groups;
    json.add("command", JsonString("effect-size"))
        .add("file", JsonString(file))
        .add("dependent", std::to_string(s.dependent))
        .addIf(s.named, "dependent_name", JsonName(s.dependentName))
        .add("grouping", std::to_string(s.grouping))
        .addIf(s.named, "grouping_name", JsonName(s.groupingName))
        .add("group1_code", JsonNumber(g.code1))
        .add("group2_code", JsonNumber(g.code2))
        .addIf(g.labelled, "group1_label", JsonString(g.label1))
        .addIf(g.labelled, "group2_label", JsonString(g.label2))
        .add("trials", std::to_string(outcome.result.trials))
        .add("level", std::to_string(LevelPercent(outcome.settings.level)))
        // Absent for the percentile interval, so that the default JSON is as it always was.
        .addIf(outcome.settings.method != IntervalMethod::Percentile, "interval_method",
               JsonString(IntervalMethodKey(outcome.settings.method)))
        .add("variance_of", std::to_string(outcome.settings.chosenGroup))
        .add("seed", std::to_string(outcome.result.seed));
}

}  // namespace

std::string EffectSizeJson(const EffectSizeOutcome& outcome, const std::string& file,
                           bool histograms) {
    const BootstrapResult& r = outcome.result;
    JsonObject json(0);
    AddSubject(json, outcome, file);
    json.add("group1", JsonGroup(r.group1))
        .add("group2", JsonGroup(r.group2))
        .add("pooled_variance", JsonNumber(r.pooledVariance))
        .add("pooled_winsorized_variance", JsonNumber(r.pooledWinsorizedVariance));
    // Each kind of field for every estimate in turn: d, robust_d, d_interval, ...
    const auto& estimates = r.estimates;
    for (const Estimate& e : estimates) json.add(e.description().key, JsonMissingOr(e.observed));
    for (const Estimate& e : estimates) {
        json.add(std::string(e.description().key) + "_interval",
                 JsonInterval(e, outcome.settings.method));
    }
    for (const Estimate& e : estimates) {
        json.add(std::string("valid_") + e.description().key + "_trials", std::to_string(e.valid));
    }
    if (histograms) {
        for (const EstimateDistribution& d : MakeBootstrapDistributions(outcome).estimates) {
            json.add(std::string(Describe(d.kind).key) + "_histogram", JsonHistogram(d.picture, 2));
        }
    }
    return json.str() + "\n";
}

}  // namespace corvane
