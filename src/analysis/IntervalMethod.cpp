#include "analysis/IntervalMethod.h"

#include <utility>

namespace corvane {

const char* IntervalMethodName(IntervalMethod method) {
    switch (method) {
        case IntervalMethod::Percentile:
            return "percentile";
    }
    return "percentile";
}

Interval ComputeInterval(IntervalMethod method, std::vector<float> defined, float level) {
    switch (method) {
        case IntervalMethod::Percentile:
            break;
    }
    return PercentileInterval(std::move(defined), level);
}

}  // namespace corvane
