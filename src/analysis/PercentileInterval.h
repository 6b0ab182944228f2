#pragma once

#include <cstdint>
#include <vector>

namespace corvane {

struct Interval {
    float lower = 0;
    float upper = 0;
};

// The tail count and the two 1-based positions of the ascending values that
// PercentileInterval reads, for m values at level c.
struct PercentilePositions {
    std::int64_t tail, lower, upper;
};
PercentilePositions PercentilePositionsFor(std::int32_t m, float level);

// The percentile interval of the trials' defined values `kept` at `level`. A position outside
// 1..m reads 0, so no values give (0, 0).
Interval PercentileInterval(std::vector<float> kept, float level);

}  // namespace corvane
