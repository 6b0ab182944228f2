#include "analysis/Jackknife.h"

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

// The count, mean and sum of squared deviations of some values.
struct Moments {
    double n = 0, mean = 0, m2 = 0;
};

Moments Copies(std::int64_t count, double value) {
    return count > 0 ? Moments{static_cast<double>(count), value, 0} : Moments{};
}

// Chan, Golub and LeVeque's pairwise update. Every term it adds is non-negative, so no sum of
// squares is the difference of two large ones, and merging equal values adds exactly 0.
Moments Merge(const Moments& a, const Moments& b) {
    if (a.n == 0) return b;
    if (b.n == 0) return a;
    const double n = a.n + b.n, delta = b.mean - a.mean;
    return {n, a.mean + delta * (b.n / n), a.m2 + b.m2 + delta * delta * (a.n * b.n / n)};
}

// A distinct value of the ascending copy, its count and its first position.
struct Run {
    double value = 0;
    std::int64_t count = 0, first = 0;
};

// The runs of equal values among the positions from..to - 1 of `sorted`.
std::vector<Run> RunsOf(const std::vector<float>& sorted, std::int64_t from, std::int64_t to) {
    std::vector<Run> runs;
    for (std::int64_t k = from; k < to; ++k) {
        const float v = sorted[static_cast<std::size_t>(k)];
        if (runs.empty() || static_cast<double>(v) != runs.back().value) {
            runs.push_back({static_cast<double>(v), 0, k});
        }
        ++runs.back().count;
    }
    return runs;
}

// For each run, the moments of all runs before it and of all runs after it.
struct Sides {
    std::vector<Moments> before, after;
};

Sides SidesOf(const std::vector<Run>& runs) {
    const std::size_t k = runs.size();
    Sides s{std::vector<Moments>(k), std::vector<Moments>(k)};
    for (std::size_t i = 1; i < k; ++i) {
        s.before[i] = Merge(s.before[i - 1], Copies(runs[i - 1].count, runs[i - 1].value));
    }
    for (std::size_t i = k - 1; i-- > 0;) {
        s.after[i] = Merge(Copies(runs[i + 1].count, runs[i + 1].value), s.after[i + 1]);
    }
    return s;
}

// The moments of the runs without one copy of run i.
Moments Without(const std::vector<Run>& runs, const Sides& sides, std::size_t i) {
    return Merge(Merge(sides.before[i], Copies(runs[i].count - 1, runs[i].value)), sides.after[i]);
}

}  // namespace

std::vector<LeftOut> LeaveOneOut(const GroupSample& sample) {
    std::vector<float> sorted(sample);
    std::sort(sorted.begin(), sorted.end());
    const auto n = static_cast<std::int64_t>(sorted.size());
    if (n < 2) return {};
    const std::vector<Run> runs = RunsOf(sorted, 0, n);
    const Sides allSides = SidesOf(runs);
    // Every group left has n - 1 values and the same trimming count. Its kept values are the
    // whole group's ascending positions first..last but one: the left-out position, or the end
    // of that range nearest to it when it lies outside.
    const std::int64_t left = n - 1, trimmed = TrimCount(left);
    const std::int64_t first = trimmed, last = left - trimmed;
    const std::vector<Run> range = RunsOf(sorted, first, last + 1);
    const Sides rangeSides = SidesOf(range);
    const double bessel = static_cast<double>(left - 1);  // 0 for n = 2: no variance

    std::vector<LeftOut> out;
    out.reserve(runs.size());
    std::size_t at = 0;  // the run of `range` holding the dropped position, which only grows
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const std::int64_t dropped = std::clamp(runs[i].first, first, last);
        while (at + 1 < range.size() && range[at + 1].first <= dropped) ++at;
        const Moments all = Without(runs, allSides, i);
        const Moments kept = Without(range, rangeSides, at);
        const double lowest =
            sorted[static_cast<std::size_t>(dropped == first ? first + 1 : first)];
        const double highest = sorted[static_cast<std::size_t>(dropped == last ? last - 1 : last)];
        // The Winsorized group: `trimmed` copies of the lowest and the highest kept value.
        const Moments winsorized =
            Merge(Merge(Copies(trimmed, lowest), kept), Copies(trimmed, highest));
        out.push_back({sorted[static_cast<std::size_t>(runs[i].first)],
                       runs[i].count,
                       {all.mean, kept.mean, all.m2 / bessel, winsorized.m2 / bessel}});
    }
    return out;
}

std::optional<double> JackknifeAcceleration(EstimateFormula formula,
                                            const std::vector<LeftOut>& group1,
                                            const std::vector<LeftOut>& group2,
                                            const GroupMoments& all1, const GroupMoments& all2,
                                            int chosenGroup) {
    double cubes = 0, squares = 0;
    for (const int j : {1, 2}) {
        const std::vector<LeftOut>& rows = j == 1 ? group1 : group2;
        std::vector<double> values;
        values.reserve(rows.size());
        double sum = 0, n = 0;
        for (const LeftOut& row : rows) {
            const GroupMoments& m1 = j == 1 ? row.moments : all1;
            const GroupMoments& m2 = j == 2 ? row.moments : all2;
            const std::optional<double> v = formula(m1, m2, chosenGroup == 2 ? m2 : m1);
            if (!v || !std::isfinite(*v)) return std::nullopt;
            values.push_back(*v);
            sum += static_cast<double>(row.count) * *v;
            n += static_cast<double>(row.count);
        }
        const double mean = sum / n;
        double c3 = 0, c2 = 0;
        for (std::size_t k = 0; k < rows.size(); ++k) {
            const double u = (n - 1) * (mean - values[k]), c = static_cast<double>(rows[k].count);
            c2 += c * (u * u);
            c3 += c * (u * u * u);
        }
        cubes += c3 / (n * n * n);
        squares += c2 / (n * n);
    }
    if (!(squares > 0)) return std::nullopt;
    const double a = cubes / (6.0 * (squares * std::sqrt(squares)));
    if (!std::isfinite(a)) return std::nullopt;
    return a;
}

}  // namespace corvane
