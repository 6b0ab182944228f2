#include "analysis/PaperSentence.h"

#include <charconv>
#include <cmath>

#include "analysis/BootstrapChoices.h"
#include "common/NumberText.h"
#include "common/Single.h"
#include "data/FieldClassifier.h"

namespace corvane {

namespace {

constexpr const char* kMinus = "\xE2\x88\x92";  // U+2212

std::string VariableText(const DataSet& data, std::int32_t v) {
    const std::string& name = data.name(v);
    return name.empty() ? "Var " + FormatInt(v) : name;
}

// A group by its label, else as the grouping variable equal to its code.
std::string GroupText(const DataSet& data, std::int32_t grouping, const std::string& codeText) {
    std::optional<float> code;
    if (const auto typed = ParseGroupCode(codeText)) {
        code = static_cast<float>(*typed);
    } else {
        code = data.codeOf(grouping, codeText);
    }
    if (!code) return codeText;
    if (const std::string* label = data.labelOf(grouping, *code)) return *label;
    return VariableText(data, grouping) + " = " + FormatSingle(*code);
}

std::string Interval(const corvane::Interval& interval, std::int32_t valid,
                     const std::string& level) {
    if (valid == 0) return level + "% CI not available (no valid resample)";
    return level + "% CI [" + TwoDecimals(interval.lower) + ", " + TwoDecimals(interval.upper) +
           "]";
}

std::string Estimate(const std::string& what, float value, const corvane::Interval& interval,
                     std::int32_t valid, const std::string& level) {
    if (IsMissing(value)) return what + " undefined (a Winsorized standard deviation of 0)";
    return what + " = " + TwoDecimals(value) + ", " + Interval(interval, valid, level);
}

}  // namespace

std::string TwoDecimals(float x) {
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(x),
                                         std::chars_format::fixed, 2);
    std::string text(buffer, ec == std::errc() ? end : buffer);
    if (text.empty() || text[0] != '-') return text;
    if (text.find_first_not_of("-0.") == std::string::npos) return text.substr(1);
    return kMinus + text.substr(1);
}

std::string WithThousands(std::int64_t n) {
    const std::string digits = FormatInt(n < 0 ? -n : n);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return n < 0 ? kMinus + out : out;
}

std::string PaperSentence(const DataSet& data, const EffectSizeRequest& request,
                          const BootstrapResult& r) {
    const std::string level = FormatInt(LevelPercent(request.settings.level));
    const std::string group1 = GroupText(data, request.grouping, request.code1Text);
    const std::string group2 = GroupText(data, request.grouping, request.code2Text);
    const std::string& chosen = request.settings.chosenGroup == 2 ? group2 : group1;
    return "For " + VariableText(data, request.dependent) + ", " + group2 +
           " (n = " + FormatInt(r.group2.n) + ") against " + group1 +
           " (n = " + FormatInt(r.group1.n) +
           "): " + Estimate("Glass's \xCE\x94", r.observed.d, r.dInterval, r.validD, level) +
           ", standardized by the standard deviation of " + chosen + "; " +
           Estimate(
               "robust \xCE\x94 (Algina, Keselman, & Penfield, 2005; 20% trimmed means, "
               "Winsorized standard deviation)",
               r.observed.robustD, r.robustDInterval, r.validRobustD, level) +
           "; percentile bootstrap, " + WithThousands(r.trials) + " resamples, seed " +
           std::to_string(r.seed) + ".";
}

}  // namespace corvane
