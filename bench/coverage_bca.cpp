// The coverage of the percentile and the BCa interval (docs/accuracy.md): many replications of
// two groups drawn from a known population, each run through the program's bootstrap, counting
// how often each interval holds the population's d and robust d.
//
//   corvane_coverage [REPLICATIONS] [TRIALS]        (defaults 10000 and 2000)
//
// Group 1 is standard normal or lognormal (μ = 0, σ = 1 on the log scale); Group 2 is the same
// distribution shifted by δ = 0.8 of Group 1's standard deviation, so the population's d is 0.8
// and its robust d is sqrt(0.4129) times the shift over Group 1's 20% Winsorized standard
// deviation. Both groups have n values, stored in single precision as the program's data are.
// Replication r of a condition draws its data from its own seeded stream and its trials from
// seed r, so a run repeats exactly. Both intervals come from one run: the percentile interval
// is read from the same trials the BCa interval was.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "analysis/BcaInterval.h"
#include "analysis/Bootstrap.h"
#include "common/Single.h"

using namespace corvane;

namespace {

constexpr double kDelta = 0.8;
constexpr double kTrim = 0.2;

struct Population {
    const char* name;
    bool lognormal;
    double sd;            // of Group 1
    double winsorizedSd;  // Group 1's 20% Winsorized standard deviation
};

// The 20% Winsorized standard deviation from the population's moments: the tails beyond the
// 20% and 80% quantiles a and b moved onto them. For the lognormal, the partial moments
// ∫ x^k f(x) dx from a to b are e^(k²/2) (Φ(ln b - k) - Φ(ln a - k)).
double WinsorizedSd(bool lognormal) {
    const double za = NormalQuantile(kTrim), zb = -za;
    double a = za, b = zb, m1 = 0, m2 = 0;
    if (lognormal) {
        a = std::exp(za);
        b = std::exp(zb);
        m1 = std::exp(0.5) * (NormalCdf(zb - 1) - NormalCdf(za - 1));
        m2 = std::exp(2.0) * (NormalCdf(zb - 2) - NormalCdf(za - 2));
    } else {
        const double density = std::exp(-za * za / 2) / std::sqrt(2 * M_PI);
        m2 = (NormalCdf(zb) - NormalCdf(za)) - 2 * zb * density;
    }
    const double mean = kTrim * a + m1 + kTrim * b;
    const double square = kTrim * a * a + m2 + kTrim * b * b;
    return std::sqrt(square - mean * mean);
}

// How often the interval held the true value, lay above it or below it.
struct Tally {
    int held = 0, above = 0, below = 0, fallbacks = 0;
    void add(const Interval& i, double truth) {
        if (i.lower > truth) {
            ++above;
        } else if (i.upper < truth) {
            ++below;
        } else {
            ++held;
        }
    }
};

GroupSample Draw(std::mt19937_64& gen, int n, bool lognormal, double shift) {
    std::normal_distribution<double> normal(0.0, 1.0);
    GroupSample x(static_cast<std::size_t>(n));
    for (float& v : x) {
        const double z = normal(gen);
        v = static_cast<float>((lognormal ? std::exp(z) : z) + shift);
    }
    return x;
}

void Report(const Population& p, int n, const char* estimate, const Tally& percentile,
            const Tally& bca, int replications) {
    auto pct = [&](int k) { return 100.0 * k / replications; };
    std::printf("| %s | %d | %s | %.1f (%.1f / %.1f) | %.1f (%.1f / %.1f) | %d |\n", p.name, n,
                estimate, pct(percentile.held), pct(percentile.above), pct(percentile.below),
                pct(bca.held), pct(bca.above), pct(bca.below), bca.fallbacks);
}

void RunCondition(const Population& p, int n, int condition, int replications, int trials) {
    const double shift = kDelta * p.sd;
    const double truths[] = {kDelta, std::sqrt(0.4129) * shift / p.winsorizedSd};
    Tally percentile[kEstimateCount], bca[kEstimateCount];
    BootstrapSettings s;
    s.trials = trials;
    s.method = IntervalMethod::BCa;
    RunOptions one;
    one.threads = 1;
    for (int r = 1; r <= replications; ++r) {
        std::mt19937_64 gen(static_cast<std::uint64_t>(condition) * 1000003u + r);
        const GroupSample g1 = Draw(gen, n, p.lognormal, 0.0);
        const GroupSample g2 = Draw(gen, n, p.lognormal, shift);
        const auto run = RunBootstrap(g1, g2, s, static_cast<std::uint64_t>(r), {}, one);
        if (!run) continue;
        for (const Estimate& e : run->estimates) {
            const std::size_t k = IndexOf(e.kind);
            std::vector<float> defined;
            for (float v : e.trials) {
                if (!IsMissing(v)) defined.push_back(v);
            }
            percentile[k].add(PercentileInterval(defined, s.level), truths[k]);
            bca[k].add(e.interval, truths[k]);
            if (e.fallback != BcaFallback::None) ++bca[k].fallbacks;
        }
    }
    Report(p, n, "d", percentile[0], bca[0], replications);
    Report(p, n, "robust d", percentile[1], bca[1], replications);
}

}  // namespace

int main(int argc, char** argv) {
    const int replications = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int trials = argc > 2 ? std::atoi(argv[2]) : 2000;
    const Population populations[] = {
        {"normal", false, 1.0, WinsorizedSd(false)},
        {"lognormal", true, std::sqrt((std::exp(1.0) - 1) * std::exp(1.0)), WinsorizedSd(true)}};
    std::printf("%d replications, T = %d, 95%%, delta = %.1f\n", replications, trials, kDelta);
    for (const Population& p : populations) {
        std::printf("%s: robust d's population value %.4f\n", p.name,
                    std::sqrt(0.4129) * kDelta * p.sd / p.winsorizedSd);
    }
    std::printf(
        "| data | n | estimate | percentile %% (above / below) | BCa %% (above / below) | "
        "BCa fell back |\n|---|---|---|---|---|---|\n");
    int condition = 0;
    for (const Population& p : populations) {
        for (const int n : {20, 50}) RunCondition(p, n, ++condition, replications, trials);
    }
    return 0;
}
