#include "common/BinomialDraw.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace corvane {

namespace {

// Below this mean the inversion's walk is short; above it BTPE's setup pays.
constexpr double kInversionMean = 30.0;

// 1 / x for the inversion's steps, which never pass x = 30 + 10 sqrt(31) < 128 (its bound).
constexpr std::array<double, 128> kReciprocals = [] {
    std::array<double, 128> r{};
    for (std::size_t x = 1; x < r.size(); ++x) r[x] = 1.0 / static_cast<double>(x);
    return r;
}();

// Inversion for lower <= 1/2: walks up the probabilities P(X = x) until their sum passes the
// uniform. The walk gives up past the mean plus ten standard deviations and draws again, which
// truncates nothing a double can hold.
std::int64_t Inversion(UniformGenerator& rng, std::int64_t n, const BinomialProbability& p) {
    const double dn = static_cast<double>(n), mean = dn * p.lower;
    const double atZero = std::exp(dn * p.logRest);
    const auto bound =
        std::min(n, static_cast<std::int64_t>(mean + 10.0 * std::sqrt(mean * (1.0 - p.lower) + 1)));
    for (;;) {
        double u = rng.next(), px = atZero;
        std::int64_t x = 0;
        while (u > px && x <= bound) {
            u -= px;
            ++x;
            px *=
                static_cast<double>(n - x + 1) * kReciprocals[static_cast<std::size_t>(x)] * p.odds;
        }
        if (x <= bound) return x;
    }
}

// floor(x) for |x| below 2^63, inline: the library's is a call on the baseline instruction set.
double Floor(double x) {
    const auto t = static_cast<double>(static_cast<std::int64_t>(x));
    return t > x ? t - 1.0 : t;
}

// The Stirling series of ln Gamma(x) beyond (x - 1/2) ln x - x + ln(2 pi) / 2, to x^-9.
double StirlingTail(double x) {
    const double x2 = x * x;
    return (13860.0 - (462.0 - (132.0 - (99.0 - 140.0 / x2) / x2) / x2) / x2) / x / 166320.0;
}

// BTPE's hat for n trials at p <= 1/2 (its step 0): a triangle and a parallelogram over the
// middle, exponential tails on either side, each region's share of the hat's area summed up to
// p4.
struct BtpeHat {
    std::int64_t n, m;  // m: the mode
    double p, q, npq, xm, xl, xr, c, lambdaL, lambdaR, p1, p2, p3, p4;

    BtpeHat(std::int64_t trials, double prob) : n(trials), p(prob), q(1.0 - prob) {
        const double dn = static_cast<double>(n), fm = dn * p + p;
        npq = dn * p * q;
        m = static_cast<std::int64_t>(fm);
        const double dm = static_cast<double>(m);
        p1 = Floor(2.195 * std::sqrt(npq) - 4.6 * q) + 0.5;
        xm = dm + 0.5;
        xl = xm - p1;
        xr = xm + p1;
        c = 0.134 + 20.5 / (15.3 + dm);
        double a = (fm - xl) / (fm - xl * p);
        lambdaL = a * (1.0 + a / 2.0);
        a = (xr - fm) / (xr * q);
        lambdaR = a * (1.0 + a / 2.0);
        p2 = p1 * (1.0 + 2.0 * c);
        p3 = p2 + c / lambdaL;
        p4 = p3 + c / lambdaR;
    }

    // Step 5: whether v, uniform under the hat at y, lies under f(y) / f(m).
    bool accepts(std::int64_t y, double v) const {
        const std::int64_t k = std::llabs(y - m);
        if (k <= 20 || static_cast<double>(k) >= npq / 2.0 - 1.0) {
            // f(y) / f(m) as the product of the ratios f(i) / f(i - 1) = (n + 1 - i) / i * p / q,
            // or one over that product below the mode.
            const double s = p / q, a = s * static_cast<double>(n + 1);
            double f = 1.0;
            for (std::int64_t i = std::min(m, y) + 1; i <= std::max(m, y); ++i)
                f *= a / static_cast<double>(i) - s;
            return y >= m ? v <= f : v * f <= 1.0;
        }
        // Squeeze: bounds on ln f(y) / f(m) about the normal's -k^2 / (2 npq).
        const double dk = static_cast<double>(k);
        const double rho = (dk / npq) * ((dk * (dk / 3.0 + 0.625) + 1.0 / 6.0) / npq + 0.5);
        const double t = -dk * dk / (2.0 * npq), logV = std::log(v);
        if (logV < t - rho) return true;
        if (logV > t + rho) return false;
        // ln f(y) / f(m) from Stirling's series of the four factorials: m! and (n - m)! add
        // their tails, y! and (n - y)! take theirs away.
        const double dn = static_cast<double>(n), dy = static_cast<double>(y);
        const double x1 = dy + 1.0, f1 = static_cast<double>(m) + 1.0;
        const double z = dn + 1.0 - static_cast<double>(m), w = dn - dy + 1.0;
        const double bound = xm * std::log(f1 / x1) + (z - 0.5) * std::log(z / w) +
                             (dy - static_cast<double>(m)) * std::log(w * p / (x1 * q)) +
                             StirlingTail(f1) + StirlingTail(z) - StirlingTail(x1) -
                             StirlingTail(w);
        return logV <= bound;
    }
};

// BTPE for p <= 1/2 and n p above kInversionMean: steps 1 to 4 place a point under the hat,
// step 5 keeps it when it lies under the distribution.
std::int64_t Btpe(UniformGenerator& rng, std::int64_t n, double p) {
    const BtpeHat h(n, p);
    const double dn = static_cast<double>(n), dm = static_cast<double>(h.m);
    for (;;) {
        const double u = rng.next() * h.p4;
        double v = rng.next();
        double y;
        if (u <= h.p1) {
            // The triangle lies under the distribution: taken at once.
            return static_cast<std::int64_t>(Floor(h.xm - h.p1 * v + u));
        }
        if (u <= h.p2) {
            const double x = h.xl + (u - h.p1) / h.c;
            v = v * h.c + 1.0 - std::fabs(dm - x + 0.5) / h.p1;
            if (v > 1.0) continue;
            y = Floor(x);
        } else if (u <= h.p3) {
            y = Floor(h.xl + std::log(v) / h.lambdaL);
            if (y < 0.0) continue;
            v *= (u - h.p2) * h.lambdaL;
        } else {
            y = Floor(h.xr - std::log(v) / h.lambdaR);
            if (y > dn) continue;
            v *= (u - h.p3) * h.lambdaR;
        }
        const auto k = static_cast<std::int64_t>(y);
        if (h.accepts(k, v)) return k;
    }
}

}  // namespace

BinomialProbability::BinomialProbability(double probability)
    : p(probability), mirrored(probability > 0.5) {
    // 1 - p is exact for p >= 1/2.
    lower = mirrored ? 1.0 - p : p;
    logRest = std::log1p(-lower);
    odds = lower / (1.0 - lower);
}

std::int64_t DrawBinomial(UniformGenerator& rng, std::int64_t n, const BinomialProbability& p) {
    if (n <= 0 || !(p.p > 0.0)) return 0;
    if (!(p.p < 1.0)) return n;
    const std::int64_t drawn = static_cast<double>(n) * p.lower <= kInversionMean
                                   ? Inversion(rng, n, p)
                                   : Btpe(rng, n, p.lower);
    return p.mirrored ? n - drawn : drawn;
}

}  // namespace corvane
