#pragma once

#include <cstdint>

#include "common/UniformGenerator.h"

namespace corvane {

// A success probability p (0 <= p <= 1) with what every binomial draw at it needs, worked out
// once: a multinomial draw asks for the same probabilities trial after trial.
struct BinomialProbability {
    explicit BinomialProbability(double p);

    double p;        // as given
    double lower;    // the smaller of p and 1 - p: the draw counts those outcomes
    double logRest;  // ln(1 - lower)
    double odds;     // lower / (1 - lower)
    bool mirrored;   // p > 1/2: the draw counts the failures
};

// One draw from the binomial distribution of n trials with success probability p, from the
// uniforms of `rng` alone, exact in distribution: no normal approximation. A mean n * lower up
// to 30 is drawn by inversion, a larger one by the rejection method BTPE (Kachitvichyanukul
// and Schmeiser, 1988), the split numpy makes. n = 0, p = 0 and p = 1 take no uniform.
std::int64_t DrawBinomial(UniformGenerator& rng, std::int64_t n, const BinomialProbability& p);

inline std::int64_t DrawBinomial(UniformGenerator& rng, std::int64_t n, double p) {
    return DrawBinomial(rng, n, BinomialProbability(p));
}

}  // namespace corvane
