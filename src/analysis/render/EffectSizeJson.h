#pragma once

#include <string>

#include "analysis/EffectSizeAnalysis.h"

namespace corvane {

// The batch tool's JSON document of one effect-size run, naming the data file as `file`:
// what was analysed, the groups' statistics, then for each estimate in the order of
// kEstimates its value, its interval, its valid trials and, when `histograms`, the bars of its
// bootstrap distribution.
std::string EffectSizeJson(const EffectSizeOutcome& outcome, const std::string& file,
                           bool histograms);

}  // namespace corvane
