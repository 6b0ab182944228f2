#include "analysis/BcaInterval.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/Single.h"

namespace corvane {

namespace {

constexpr double kSqrt2 = 1.4142135623730950488;
constexpr double kSqrt2Pi = 2.5066282746310005024;

// Acklam's rational approximation of Φ⁻¹ for 0 < p <= 0.5 (relative error below 1.2e-9).
double RoughQuantile(double p) {
    static constexpr double a[] = {-3.969683028665376e+01, 2.209460984245205e+02,
                                   -2.759285104469687e+02, 1.383577518672690e+02,
                                   -3.066479806614716e+01, 2.506628277459239e+00};
    static constexpr double b[] = {-5.447609879822406e+01, 1.615858368580409e+02,
                                   -1.556989798598866e+02, 6.680131188771972e+01,
                                   -1.328068155288572e+01};
    static constexpr double c[] = {-7.784894002430293e-03, -3.223964580411365e-01,
                                   -2.400758277161838e+00, -2.549732539343734e+00,
                                   4.374664141464968e+00,  2.938163982698783e+00};
    static constexpr double d[] = {7.784695709041462e-03, 3.224671290700398e-01,
                                   2.445134137142996e+00, 3.754408661907416e+00};
    if (p < 0.02425) {
        const double q = std::sqrt(-2.0 * std::log(p));
        return (((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
               ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1.0);
    }
    const double q = p - 0.5, r = q * q;
    return (((((a[0] * r + a[1]) * r + a[2]) * r + a[3]) * r + a[4]) * r + a[5]) * q /
           (((((b[0] * r + b[1]) * r + b[2]) * r + b[3]) * r + b[4]) * r + 1.0);
}

}  // namespace

double NormalCdf(double x) { return 0.5 * std::erfc(-x / kSqrt2); }

double NormalQuantile(double p) {
    // The upper half by symmetry: 1 - p is exact there, and the lower tail keeps its digits.
    if (p > 0.5) return -NormalQuantile(1.0 - p);
    const double x = RoughQuantile(p);
    // One step of Halley's method brings the approximation to full double precision.
    const double u = (NormalCdf(x) - p) * kSqrt2Pi * std::exp(x * x / 2.0);
    return x - u / (1.0 + x * u / 2.0);
}

BcaTails BcaAdjustedTails(double z0, double acceleration, float level) {
    const double alpha = (1.0 - static_cast<double>(level)) / 2.0;
    const double z = NormalQuantile(alpha);  // negative
    // The point the end moves to, on the normal scale.
    auto moved = [&](double w) {
        const double shrink = 1.0 - acceleration * w;
        if (!(shrink > 0))
            return w > 0 ? std::numeric_limits<double>::infinity()
                         : -std::numeric_limits<double>::infinity();
        return z0 + w / shrink;
    };
    // Each tail straight from Φ, so that a tail near 0 keeps its digits.
    return {NormalCdf(moved(z0 + z)), NormalCdf(-moved(z0 - z))};
}

BcaPositions BcaPositionsFor(std::int64_t m, const BcaTails& tails) {
    const double dm = static_cast<double>(m);
    const std::int64_t upper = std::clamp<std::int64_t>(m - std::llround(tails.above * dm), 1, m);
    const std::int64_t lower =
        std::clamp<std::int64_t>(std::llround(tails.below * dm) + 1, 1, upper);
    return {lower, upper};
}

BcaOutcome BcaInterval(std::vector<float>& values, float level, const BcaInputs& inputs) {
    if (IsMissing(inputs.observed)) return {{}, BcaFallback::ObservedUndefined};
    if (values.empty()) return {};
    std::stable_sort(values.begin(), values.end());
    const auto m = static_cast<std::int64_t>(values.size());
    const auto below = std::lower_bound(values.begin(), values.end(), inputs.observed);
    const auto notAbove = std::upper_bound(below, values.end(), inputs.observed);
    // Twice the count below, each equal value counting half: a whole number, exact in double.
    const double twiceBelow =
        2.0 * static_cast<double>(below - values.begin()) + static_cast<double>(notAbove - below);
    if (twiceBelow == 0 || twiceBelow == 2.0 * static_cast<double>(m)) {
        return {{}, BcaFallback::OneSided};
    }
    if (!inputs.acceleration) return {{}, BcaFallback::JackknifeUndefined};
    const double z0 = NormalQuantile(twiceBelow / (2.0 * static_cast<double>(m)));
    const BcaPositions at = BcaPositionsFor(m, BcaAdjustedTails(z0, *inputs.acceleration, level));
    return {{values[static_cast<std::size_t>(at.lower - 1)],
             values[static_cast<std::size_t>(at.upper - 1)]},
            BcaFallback::None};
}

}  // namespace corvane
