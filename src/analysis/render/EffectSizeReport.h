#pragma once

#include <string>

#include "analysis/EffectSizeAnalysis.h"

namespace corvane {

// The fixed-layout report of one effect-size analysis, CR LF line ends, ending in five empty
// lines: the groups' statistics, then each estimate's observed value, interval and valid trials
// in the order of kEstimates. A BCa interval reads "95% BCa CI for population D"; an estimate
// whose BCa interval could not be read shows its percentile interval and, after the interval
// lines, a line saying why. A variable with a name from the file's first line is named after
// its number; groups with labels are named by them on a line of their own.
std::string BuildReport(const EffectSizeOutcome& outcome);

}  // namespace corvane
