#pragma once

#include <array>
#include <optional>

#include "analysis/EstimateKind.h"
#include "analysis/GroupStatistics.h"

namespace corvane {

// An estimate from the two groups' unrounded moments, standardized by the chosen group's;
// nothing when the chosen group's spread is 0, which leaves it undefined.
using EstimateFormula = std::optional<double> (*)(const GroupMoments& group1,
                                                  const GroupMoments& group2,
                                                  const GroupMoments& chosen);

// Everything that is particular to one estimate: its formula and the words of every output
// that names it. The outputs list the estimates in table order and take their texts from here.
struct EstimateDescription {
    EstimateKind kind;
    EstimateFormula formula;
    // The report's line "Cohen's D = ...", the picture's title and axis, the overflow message.
    const char* name;
    // "95% CI for population D = ..." ("95% BCa CI for ..." for a BCa interval)
    const char* population;
    // "Number of valid D bootstrap trials = ..."
    const char* validName;
    // The JSON fields <key>, <key>_interval, valid_<key>_trials and <key>_histogram, and the
    // trial CSV's column.
    const char* key;
    // The sentence for a paper: "Glass's Δ = 0.84, 95% CI [...]".
    const char* sentenceName;
    // The sentence for an undefined value: "<sentenceName> undefined (<sentenceUndefined>)".
    const char* sentenceUndefined;
    // An overflow: "<name> cannot be shown: Group 1's <spread> is too small against the
    // difference of the <centres>."
    const char* spread;
    const char* centres;
};

// Glass's delta: the difference of the means over the chosen group's standard deviation.
std::optional<double> GlassDelta(const GroupMoments& group1, const GroupMoments& group2,
                                 const GroupMoments& chosen);
// The robust delta of Algina, Keselman and Penfield: the difference of the 20% trimmed means
// over the chosen group's rescaled Winsorized standard deviation.
std::optional<double> RobustDelta(const GroupMoments& group1, const GroupMoments& group2,
                                  const GroupMoments& chosen);

inline constexpr std::array<EstimateDescription, kEstimateCount> kEstimates = {{
    {EstimateKind::D, &GlassDelta, "Cohen's D", "D", "D", "d", "Glass's \xCE\x94",
     "a standard deviation of 0", "variance", "means"},
    {EstimateKind::RobustD, &RobustDelta, "Robust Cohen's D", "Robust D", "robust D", "robust_d",
     "robust \xCE\x94 (Algina, Keselman, & Penfield, 2005; 20% trimmed means, Winsorized "
     "standard deviation)",
     "a Winsorized standard deviation of 0", "Winsorized variance", "trimmed means"},
}};

constexpr bool EveryRowInItsPlace() {
    for (std::size_t i = 0; i < kEstimates.size(); ++i) {
        if (IndexOf(kEstimates[i].kind) != i) return false;
    }
    return true;
}
static_assert(EveryRowInItsPlace(), "kEstimates holds one row per EstimateKind, in its order");

inline const EstimateDescription& Describe(EstimateKind kind) { return kEstimates[IndexOf(kind)]; }

}  // namespace corvane
