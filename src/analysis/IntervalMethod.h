#pragma once

#include <optional>
#include <vector>

#include "analysis/PercentileInterval.h"

namespace corvane {

// How an estimate's confidence interval is read from its bootstrap trials: the percentile
// interval, or the bias-corrected and accelerated one (BCa). Each estimate carries the method
// its interval was read by, and the outputs that name a method take it from there.
enum class IntervalMethod { Percentile, BCa };

// Why a BCa interval could not be read, so that the percentile interval stands in its place.
enum class BcaFallback { None, ObservedUndefined, OneSided, JackknifeUndefined };

// The method as the sentence for a paper names it: "percentile" ("; percentile bootstrap, ...")
// or "bias-corrected and accelerated".
const char* IntervalMethodName(IntervalMethod method);
// The method as the batch tool's --interval and the JSON name it: "percentile" or "bca".
const char* IntervalMethodKey(IntervalMethod method);
// What the report puts between the level and "CI": "" or "BCa " ("95% BCa CI for ...").
const char* IntervalMethodTag(IntervalMethod method);
// Why BCa fell back, as the outputs say it: "the observed value is undefined".
const char* BcaFallbackReason(BcaFallback fallback);

// What BCa reads besides the trials: the observed value (the missing code when undefined) and
// the jackknife's acceleration (nothing when undefined). The percentile interval reads neither.
struct BcaInputs {
    float observed = 0;
    std::optional<double> acceleration;
};

// An interval, the method it was read by and, where BCa was asked for and could not be read,
// why: the method is then Percentile.
struct IntervalOutcome {
    IntervalMethod method = IntervalMethod::Percentile;
    Interval interval;
    BcaFallback fallback = BcaFallback::None;
};

// The interval by `method` over the trials' defined values `defined` at `level`; (0, 0) when
// there are none, by either method.
IntervalOutcome ComputeInterval(IntervalMethod method, std::vector<float> defined, float level,
                                const BcaInputs& bca = {});

}  // namespace corvane
