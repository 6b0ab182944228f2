#include "analysis/EffectSizeReport.h"

#include <cmath>
#include <string>

#include "common/NumberText.h"
#include "data/DataMatrix.h"

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

}  // namespace

std::string BuildReport(const BootstrapResult& r, const BootstrapSettings& settings,
                        std::int32_t dependent, std::int32_t grouping,
                        const std::vector<std::string>& names, const ChosenGroups& groups) {
    const std::string rule45(45, '-'), rule50(50, '-');
    const std::string level = FormatInt(std::lround(static_cast<double>(settings.level) * 100.0));
    const std::string using_ = settings.chosenGroup == 2 ? " (Using variance from Group 2)"
                                                         : " (Using variance from Group 1)";
    auto R = [](float x) { return FormatRounded3(x); };

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
    out += Line("Dep Var = " + VariableCaption(dependent, names) +
                "; Grp Var = " + VariableCaption(grouping, names));
    if (groups.labelled) {
        out += Line("Group 1 = " + groups.label1 + "; Group 2 = " + groups.label2);
    }
    out += kEol;
    out += kEol;
    out += Line("EFFECT SIZE ESTIMATES AND " + level + "% CI");
    out += Line(rule50);
    out += Line("Pooled variance = " + R(r.observed.pooledVariance));
    out += Line("Pooled Winsorized variance = " + R(r.observed.pooledWinsorizedVariance));
    out += kEol;
    out += Line("Cohen's D = " + R(r.observed.d) + using_);
    out += Line("Robust Cohen's D = " + R(r.observed.robustD) + using_);
    out += kEol;
    out += Line(level + "% CI for population D = (" + R(r.dInterval.lower) + ", " +
                R(r.dInterval.upper) + ")");
    out += Line(level + "% CI for population Robust D = (" + R(r.robustDInterval.lower) + ", " +
                R(r.robustDInterval.upper) + ")");
    out += Line(rule50);
    out += Line("Number of attempted bootstrap trials = " + FormatInt(r.trials));
    out += Line("Number of valid D bootstrap trials = " + FormatInt(r.validD));
    out += Line("Number of valid robust D bootstrap trials = " + FormatInt(r.validRobustD));
    out += Line("Bootstrap seed = " + std::to_string(r.seed));
    for (int i = 0; i < 5; ++i) out += kEol;
    return out;
}

}  // namespace corvane
