#pragma once

#include <vector>

#include "analysis/PercentileInterval.h"

namespace corvane {

// How an estimate's confidence interval is read from its bootstrap trials. Each estimate
// carries the method of its interval, and the outputs that name a method take it from there.
enum class IntervalMethod { Percentile };

// The method as the sentence for a paper names it: "percentile" ("; percentile bootstrap, ...").
const char* IntervalMethodName(IntervalMethod method);

// The interval by `method` over the trials' defined values `defined` at `level`; (0, 0) when
// there are none.
Interval ComputeInterval(IntervalMethod method, std::vector<float> defined, float level);

}  // namespace corvane
