#pragma once

#include <string>
#include <vector>

#include "analysis/EffectSizeAnalysis.h"
#include "analysis/render/BootstrapDistribution.h"

namespace corvane {

// The picture of one estimate's bootstrap, with its title.
struct EstimateDistribution {
    EstimateKind kind = EstimateKind::D;
    std::string title;
    BootstrapDistribution picture;
};

// The pictures of one effect-size run, one per estimate in the order of kEstimates.
struct BootstrapDistributions {
    std::vector<EstimateDistribution> estimates;
    // A name for a file of the pictures, without its extension:
    // "bootstrap-score-by-group-control-vs-treatment", each part a file name may hold on any
    // desktop (letters, digits, "_", "-", "."; anything else "_"), none longer than 30 bytes.
    std::string fileStem;

    const EstimateDistribution& of(EstimateKind kind) const { return estimates.at(IndexOf(kind)); }
};

// Titles name the estimate, the variables, the groups (by their labels when the grouping
// variable has them), the valid of the attempted trials and the level: "Cohen's D: Var 1 by
// Var 2, groups 1 and 2, 598 of 600 trials, 95% CI" ("95% BCa CI" for a BCa interval).
BootstrapDistributions MakeBootstrapDistributions(const EffectSizeOutcome& outcome);

}  // namespace corvane
