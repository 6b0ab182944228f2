#pragma once

#include <cstdint>

#include "common/UniformGenerator.h"

namespace corvane {

// One draw from the binomial distribution of n trials with success probability p (0 <= p <= 1),
// from the uniforms of `rng` alone, exact in distribution: no normal approximation. With q the
// smaller of p and 1 - p, a mean n * q up to 30 is drawn by inversion, a larger one by the
// rejection method BTPE (Kachitvichyanukul and Schmeiser, 1988), the split numpy makes.
// n = 0, p = 0 and p = 1 take no uniform.
std::int64_t DrawBinomial(UniformGenerator& rng, std::int64_t n, double p);

}  // namespace corvane
