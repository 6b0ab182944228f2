#pragma once

#include <cstdint>
#include <string>

#include "analysis/EffectSizeAnalysis.h"

namespace corvane {

// The result of one effect-size run as one sentence a manuscript can quote: the dependent
// variable, the two groups with their sizes, each estimate to two decimals with its interval
// (the first followed by the standardizing group), the interval method, the number of resamples
// and the seed that draws them again (the result's own). Groups are named by their labels where
// the data set has them, otherwise by the grouping variable and the code. UTF-8, no line end.
std::string PaperSentence(const EffectSizeOutcome& outcome);

// x to two decimals, ties to even on the exact binary value, with a true minus sign (U+2212)
// for a negative value; never "−0.00".
std::string TwoDecimals(float x);

// A whole number with a comma between each group of three digits: 2,000.
std::string WithThousands(std::int64_t n);

}  // namespace corvane
