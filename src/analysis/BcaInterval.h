#pragma once

#include <cstdint>
#include <vector>

#include "analysis/IntervalMethod.h"

namespace corvane {

// The standard normal distribution function Φ, and its inverse for 0 < p < 1 (to about 1e-15
// relative).
double NormalCdf(double x);
double NormalQuantile(double p);

// The tail probabilities the BCa interval reads its ends at: `below` the lower end and `above`
// the upper one. With α = (1 - level) / 2 and z = Φ⁻¹(α), each end moves to
// Φ(z0 + w / (1 - a w)) with w = z0 ± z (Efron and Tibshirani, 14.10). Where 1 - a w <= 0 the
// formula breaks down (the map turns back); the tail is then taken at its limit from inside,
// the end of the trials on the side of w. z0 = 0 and a = 0 give α on both sides.
struct BcaTails {
    double below = 0, above = 0;
};
BcaTails BcaAdjustedTails(double z0, double acceleration, float level);

// The 1-based positions of the m ascending values the interval reads, by the percentile
// interval's convention: round(below · m) + 1 and m - round(above · m), halves away from 0.
// The upper stays within 1..m and the lower within 1..upper.
struct BcaPositions {
    std::int64_t lower = 0, upper = 0;
};
BcaPositions BcaPositionsFor(std::int64_t m, const BcaTails& tails);

struct BcaOutcome {
    Interval interval;
    BcaFallback fallback = BcaFallback::None;
};

// The BCa interval of the trials' defined values `values` (sorted here, in place) at `level`.
// The bias correction z0 = Φ⁻¹(share) takes the share of the values below the observed one,
// an equal value counting half (as scipy's percentile of score, kind "mean"). No values give
// (0, 0); an undefined observed value, a share of 0 or 1, or no acceleration give a fallback and
// no interval.
BcaOutcome BcaInterval(std::vector<float>& values, float level, const BcaInputs& inputs);

}  // namespace corvane
