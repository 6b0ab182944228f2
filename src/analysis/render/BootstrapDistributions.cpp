#include "analysis/render/BootstrapDistributions.h"

#include "analysis/BootstrapChoices.h"
#include "common/NumberText.h"

namespace corvane {

BootstrapDistributions MakeBootstrapDistributions(const EffectSizeOutcome& outcome) {
    const EffectSizeSubject& s = outcome.subject;
    // The groups are named as the report names them.
    const ChosenGroups& g = s.groups;
    const std::string group1 = g.labelled ? g.label1 : FormatSingle(g.code1);
    const std::string group2 = g.labelled ? g.label2 : FormatSingle(g.code2);
    const std::string level = FormatInt(LevelPercent(outcome.settings.level)) + "% ";
    const std::string common = VariableCaption(s.dependent, s.dependentName) + " by " +
                               VariableCaption(s.grouping, s.groupingName) + ", groups " + group1 +
                               " and " + group2 + ", ";
    BootstrapDistributions out;
    for (const Estimate& e : outcome.result.estimates) {
        EstimateDistribution d;
        d.kind = e.kind;
        d.picture = BootstrapDistribution(e.trials, e.observed, e.interval);
        d.title = std::string(e.description().name) + ": " + common + FormatInt(d.picture.valid()) +
                  " of " + FormatInt(d.picture.attempted()) + " trials, " + level +
                  IntervalMethodTag(e.method) + "CI";
        out.estimates.push_back(std::move(d));
    }
    return out;
}

}  // namespace corvane
