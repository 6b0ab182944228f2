#include "analysis/render/EffectSizeReport.h"

#include <string>

#include "analysis/BootstrapChoices.h"
#include "common/NumberText.h"

namespace corvane {

namespace {

constexpr const char* kEol = "\r\n";

std::string Row(const std::string& a, const std::string& b, const std::string& c) {
    constexpr std::size_t kCell = 15;
    auto left = [](const std::string& s) {
        return s.size() >= kCell ? s : s + std::string(kCell - s.size(), ' ');
    };
    auto right = [](const std::string& s) {
        return s.size() >= kCell ? s : std::string(kCell - s.size(), ' ') + s;
    };
    return left(a) + right(b) + right(c) + kEol;
}

std::string Line(const std::string& s) { return s + kEol; }

std::string R(float x) { return FormatRounded3(x); }

std::string GroupLevelStatistics(const EffectSizeSubject& subject, const BootstrapResult& r) {
    const std::string rule45(45, '-');
    std::string out;
    out += Line("GROUP-LEVEL STATISTICS");
    out += Line(rule45);
    out += Row("Statistic", "Group 1", "Group 2");
    out += Line(rule45);
    out += Row("Sample Size", FormatInt(r.group1.n), FormatInt(r.group2.n));
    out += kEol;
    out += Row("Mean", R(r.group1.mean), R(r.group2.mean));
    out += Row("Trimmed Mean", R(r.group1.trimmedMean), R(r.group2.trimmedMean));
    out += kEol;
    out += Row("Variance", R(r.group1.variance), R(r.group2.variance));
    out += Row("Wins. Var.", R(r.group1.winsorizedVariance), R(r.group2.winsorizedVariance));
    out += Line(rule45);
    out += Line("Dep Var = " + VariableCaption(subject.dependent, subject.dependentName) +
                "; Grp Var = " + VariableCaption(subject.grouping, subject.groupingName));
    const ChosenGroups& groups = subject.groups;
    if (groups.labelled) {
        out += Line("Group 1 = " + groups.label1 + "; Group 2 = " + groups.label2);
    }
    return out;
}

std::string EffectSizeEstimates(const BootstrapSettings& settings, const BootstrapResult& r) {
    const std::string rule50(50, '-');
    const std::string level = FormatInt(LevelPercent(settings.level));
    const std::string using_ = settings.chosenGroup == 2 ? " (Using variance from Group 2)"
                                                         : " (Using variance from Group 1)";
    std::string out;
    out += Line("EFFECT SIZE ESTIMATES AND " + level + "% CI");
    out += Line(rule50);
    out += Line("Pooled variance = " + R(r.pooledVariance));
    out += Line("Pooled Winsorized variance = " + R(r.pooledWinsorizedVariance));
    out += kEol;
    for (const Estimate& e : r.estimates) {
        out += Line(std::string(e.description().name) + " = " + R(e.observed) + using_);
    }
    out += kEol;
    for (const Estimate& e : r.estimates) {
        out += Line(level + "% " + IntervalMethodTag(e.method) + "CI for population " +
                    e.description().population + " = (" + R(e.interval.lower) + ", " +
                    R(e.interval.upper) + ")");
    }
    for (const Estimate& e : r.estimates) {
        if (e.fallback == BcaFallback::None) continue;
        out += Line(std::string("BCa CI for population ") + e.description().population +
                    " not available: " + BcaFallbackReason(e.fallback) +
                    "; the percentile CI is shown.");
    }
    out += Line(rule50);
    out += Line("Number of attempted bootstrap trials = " + FormatInt(r.trials));
    for (const Estimate& e : r.estimates) {
        out += Line(std::string("Number of valid ") + e.description().validName +
                    " bootstrap trials = " + FormatInt(e.valid));
    }
    out += Line("Bootstrap seed = " + std::to_string(r.seed));
    return out;
}

}  // namespace

std::string BuildReport(const EffectSizeOutcome& outcome) {
    std::string out = GroupLevelStatistics(outcome.subject, outcome.result);
    out += kEol;
    out += kEol;
    out += EffectSizeEstimates(outcome.settings, outcome.result);
    for (int i = 0; i < 5; ++i) out += kEol;
    return out;
}

}  // namespace corvane
