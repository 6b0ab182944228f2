#include "analysis/IntervalMethod.h"

#include <utility>

#include "analysis/BcaInterval.h"

namespace corvane {

const char* IntervalMethodName(IntervalMethod method) {
    return method == IntervalMethod::BCa ? "bias-corrected and accelerated" : "percentile";
}

const char* IntervalMethodKey(IntervalMethod method) {
    return method == IntervalMethod::BCa ? "bca" : "percentile";
}

const char* IntervalMethodTag(IntervalMethod method) {
    return method == IntervalMethod::BCa ? "BCa " : "";
}

const char* BcaFallbackReason(BcaFallback fallback) {
    switch (fallback) {
        case BcaFallback::ObservedUndefined:
            return "the observed value is undefined";
        case BcaFallback::OneSided:
            return "every valid trial lies on one side of the observed value";
        case BcaFallback::JackknifeUndefined:
            return "its jackknife acceleration is undefined";
        case BcaFallback::None:
            break;
    }
    return "";
}

IntervalOutcome ComputeInterval(IntervalMethod method, std::vector<float> defined, float level,
                                const BcaInputs& bca) {
    if (method == IntervalMethod::BCa) {
        const BcaOutcome read = BcaInterval(defined, level, bca);
        if (read.fallback == BcaFallback::None) return {method, read.interval, read.fallback};
        return {IntervalMethod::Percentile, PercentileInterval(std::move(defined), level),
                read.fallback};
    }
    return {IntervalMethod::Percentile, PercentileInterval(std::move(defined), level)};
}

}  // namespace corvane
