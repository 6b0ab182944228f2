#include "analysis/PercentileInterval.h"

#include <algorithm>
#include <cmath>

namespace corvane {

PercentilePositions PercentilePositionsFor(std::int32_t m, float level) {
    const double a = (1.0 - static_cast<double>(level)) / 2.0;
    const std::int64_t tail = std::llround(a * static_cast<double>(m));
    return {tail, tail + 1, static_cast<std::int64_t>(m) - tail};
}

Interval PercentileInterval(std::vector<float> kept, float level) {
    std::stable_sort(kept.begin(), kept.end());
    const auto m = static_cast<std::int64_t>(kept.size());
    const PercentilePositions pos = PercentilePositionsFor(static_cast<std::int32_t>(m), level);
    auto read = [&](std::int64_t position) {
        return position >= 1 && position <= m ? kept[static_cast<std::size_t>(position - 1)] : 0.0f;
    };
    return {read(pos.lower), read(pos.upper)};
}

}  // namespace corvane
