#include "analysis/render/PaperSentence.h"

#include <charconv>
#include <cmath>

#include "analysis/BootstrapChoices.h"
#include "common/NumberText.h"
#include "common/Single.h"

namespace corvane {

namespace {

constexpr const char* kMinus = "\xE2\x88\x92";  // U+2212

std::string IntervalText(const Estimate& e, const std::string& level) {
    if (e.valid == 0) return level + "% CI not available (no valid resample)";
    // The sentence ends naming the method asked for; an interval read by another says so.
    const std::string fellBack =
        e.fallback == BcaFallback::None ? "" : " (percentile bootstrap: BCa not available)";
    return level + "% CI [" + TwoDecimals(e.interval.lower) + ", " + TwoDecimals(e.interval.upper) +
           "]" + fellBack;
}

std::string EstimateText(const Estimate& e, const std::string& level) {
    const EstimateDescription& d = e.description();
    const std::string what = d.sentenceName;
    if (IsMissing(e.observed)) return what + " undefined (" + d.sentenceUndefined + ")";
    return what + " = " + TwoDecimals(e.observed) + ", " + IntervalText(e, level);
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

std::string PaperSentence(const EffectSizeOutcome& outcome) {
    const EffectSizeSubject& s = outcome.subject;
    const BootstrapResult& r = outcome.result;
    const std::string level = FormatInt(LevelPercent(outcome.settings.level));
    const std::string dependent =
        s.dependentName.empty() ? "Var " + FormatInt(s.dependent) : s.dependentName;
    const std::string& chosen = outcome.settings.chosenGroup == 2 ? s.group2Phrase : s.group1Phrase;
    std::string out = "For " + dependent + ", " + s.group2Phrase +
                      " (n = " + FormatInt(r.group2.n) + ") against " + s.group1Phrase +
                      " (n = " + FormatInt(r.group1.n) + "): ";
    // Every estimate is standardized by the same group, which the first one names.
    for (std::size_t i = 0; i < r.estimates.size(); ++i) {
        out += EstimateText(r.estimates[i], level);
        out += i == 0 ? ", standardized by the standard deviation of " + chosen + "; " : "; ";
    }
    return out + IntervalMethodName(outcome.settings.method) + " bootstrap, " +
           WithThousands(r.trials) + " resamples, seed " + std::to_string(r.seed) + ".";
}

}  // namespace corvane
