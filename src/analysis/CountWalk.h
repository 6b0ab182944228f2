#pragma once

#include <algorithm>
#include <cstdint>

#include "analysis/DrawCounts.h"
#include "analysis/GroupStatistics.h"

namespace corvane {

// The sums of one resample given as draw counts per position of the ascending copy `sorted`
// of the observed values (n of them, the counts adding up to n). The walk runs once over the
// ascending values, summing about the fixed `shift` (the observed Winsorized mean suits), and
// falls back to sums about the resample's own means when the shift would cost accuracy. Every
// sum is within 1e-12 (relative) of the one taken by ComputeGroupStatsPresorted over the same
// values.
GroupSums SumsFromCounts(const float* sorted, const DrawCounts& counts, double shift);

// The same sums of a resample of n values given as counts per distinct value: `values` holds
// the `positions` distinct values ascending, `counts` how often the resample holds each. The
// walk is the one above, over positions that each hold one value.
GroupSums SumsFromValueCounts(const float* values, const std::uint32_t* counts,
                              std::int64_t positions, std::int64_t n, double shift);

// The walk itself works on any count view: a type with restart(), which goes back to position
// 0, operator()(k), the count at position k as an integer, and weight(k), the same count as a
// double. Positions are read in ascending order between restarts. `positions` values lie at
// positions 0..positions-1 of `sorted`, their counts adding up to n.

// Counts held whole, one per position.
struct WholeCounts {
    const std::uint32_t* counts;
    void restart() {}
    std::int64_t operator()(std::int64_t k) const { return counts[k]; }
    double weight(std::int64_t k) const { return static_cast<double>(counts[k]); }
};

// Where the kept range of the resample lies: the positions holding its ascending values
// `trimmed` and n - trimmed - 1 (from 0), its first and last kept value, and how many values of
// the resample lie below each.
struct KeptEnds {
    std::int64_t first = 0, belowFirst = 0;
    std::int64_t last = 0, belowLast = 0;
};

template <class Counts>
KeptEnds FindKeptEnds(Counts& counts, std::int64_t /*positions*/, std::int64_t trimmed,
                      std::int64_t keepEnd) {
    KeptEnds ends;
    counts.restart();
    std::int64_t k = 0, below = 0, c = counts(0);
    while (below + c <= trimmed) {
        below += c;
        c = counts(++k);
    }
    ends.first = k;
    ends.belowFirst = below;
    while (below + c < keepEnd) {
        below += c;
        c = counts(++k);
    }
    ends.last = k;
    ends.belowLast = below;
    return ends;
}

// The sums of c * x and c * x^2 (x a value less the shift, c its count) over a range of
// positions, in two interleaved lanes so that consecutive additions do not wait for each other.
struct LaneSums {
    double first[2] = {0, 0}, second[2] = {0, 0};

    void add(int lane, double c, double x) {
        const double cx = c * x;
        first[lane] += cx;
        second[lane] += cx * x;
    }
    double sum1() const { return first[0] + first[1]; }
    double sum2() const { return second[0] + second[1]; }
};

// The sums of a resample as ComputeGroupStatsPresorted forms them, walking the counts twice:
// the sum first, then the squared deviations about its mean. For resamples far from the shift.
template <class Counts>
GroupSums SumsAboutOwnMeans(const float* sorted, Counts& counts, std::int64_t positions,
                            std::int64_t n, std::int64_t trimmed, double lowestKept,
                            double highestKept) {
    GroupSums out;
    const std::int64_t keepEnd = n - trimmed;
    // How many of a position's c values fall in the kept range, `below` values lying below it.
    auto keptOf = [&](std::int64_t below, std::int64_t c) {
        return std::clamp(below + c, trimmed, keepEnd) - std::clamp(below, trimmed, keepEnd);
    };
    std::int64_t below = 0;
    counts.restart();
    for (std::int64_t k = 0; k < positions; ++k) {
        const std::int64_t c = counts(k);
        const double v = sorted[k];
        out.sum += static_cast<double>(c) * v;
        out.trimmedSum += static_cast<double>(keptOf(below, c)) * v;
        below += c;
    }
    const double dn = static_cast<double>(n), dTrimmed = static_cast<double>(trimmed);
    const double mean = out.sum / dn;
    const double wMean = ((dTrimmed * lowestKept + out.trimmedSum) + dTrimmed * highestKept) / dn;
    double& wd = out.winsorizedSquaredDeviations;
    wd = dTrimmed * ((lowestKept - wMean) * (lowestKept - wMean));
    below = 0;
    counts.restart();
    for (std::int64_t k = 0; k < positions; ++k) {
        const std::int64_t c = counts(k);
        const double v = sorted[k];
        out.squaredDeviations += static_cast<double>(c) * ((v - mean) * (v - mean));
        wd += static_cast<double>(keptOf(below, c)) * ((v - wMean) * (v - wMean));
        below += c;
    }
    wd += dTrimmed * ((highestKept - wMean) * (highestKept - wMean));
    return out;
}

// The sums of x - shift and (x - shift)^2 in the pieces the statistics need: over the two
// tails, over the kept range strictly between its ends, and at the two ends, whose counts fall
// partly inside it (all of their values, and the kept ones).
struct ShiftedSums {
    LaneSums tails, kept, endsAll, endsKept;
};

template <class Counts>
ShiftedSums SumAboutShift(const float* sorted, Counts& counts, std::int64_t positions,
                          std::int64_t n, std::int64_t trimmed, const KeptEnds& ends,
                          double shift) {
    const std::int64_t keepEnd = n - trimmed;
    ShiftedSums out;
    counts.restart();
    std::int64_t k = 0;
    auto range = [&](LaneSums& sum, std::int64_t end) {
        for (; k + 1 < end; k += 2) {
            sum.add(0, counts.weight(k), sorted[k] - shift);
            sum.add(1, counts.weight(k + 1), sorted[k + 1] - shift);
        }
        if (k < end) {
            sum.add(0, counts.weight(k), sorted[k] - shift);
            ++k;
        }
    };
    // An end of the kept range at position k, `below` values of the resample lying below it.
    auto end = [&](std::int64_t below) {
        const std::int64_t c = counts(k);
        const double x = sorted[k] - shift;
        out.endsAll.add(0, static_cast<double>(c), x);
        const std::int64_t inside = std::min(below + c, keepEnd) - std::max(below, trimmed);
        out.endsKept.add(0, static_cast<double>(inside), x);
        ++k;
    };
    range(out.tails, ends.first);
    end(ends.belowFirst);
    if (ends.first != ends.last) {
        range(out.kept, ends.last);
        end(ends.belowLast);
    }
    range(out.tails, positions);
    return out;
}

// The walk: first the ends of the kept range, an integer pass that leaves the sums free of
// per-position clamps; then one pass summing about `shift`. All values and the kept ones share
// the shift, so the kept range's sums serve both.
template <class Counts>
GroupSums WalkCounts(const float* sorted, Counts& counts, std::int64_t positions, std::int64_t n,
                     double shift) {
    if (n < 2) return {};
    const std::int64_t trimmed = TrimCount(n), keepEnd = n - trimmed;
    const KeptEnds ends = FindKeptEnds(counts, positions, trimmed, keepEnd);
    const ShiftedSums parts = SumAboutShift(sorted, counts, positions, n, trimmed, ends, shift);
    const double allSum = (parts.tails.sum1() + parts.endsAll.sum1()) + parts.kept.sum1();
    const double allSquares = (parts.tails.sum2() + parts.endsAll.sum2()) + parts.kept.sum2();
    const double keptSum = parts.kept.sum1() + parts.endsKept.sum1();
    const double keptSquares = parts.kept.sum2() + parts.endsKept.sum2();
    const double lowest = sorted[ends.first], highest = sorted[ends.last];
    const double dn = static_cast<double>(n), dTrimmed = static_cast<double>(trimmed);
    // The Winsorized sample repeats the lowest and the highest kept value `trimmed` times each.
    const double wSum = (dTrimmed * (lowest - shift) + keptSum) + dTrimmed * (highest - shift);
    const double wSquares = (dTrimmed * ((lowest - shift) * (lowest - shift)) + keptSquares) +
                            dTrimmed * ((highest - shift) * (highest - shift));
    GroupSums out;
    out.sum = allSum + dn * shift;
    out.squaredDeviations = allSquares - allSum * allSum / dn;
    out.trimmedSum = keptSum + static_cast<double>(n - 2 * trimmed) * shift;
    out.winsorizedSquaredDeviations = wSquares - wSum * wSum / dn;
    // The shifted form subtracts n times the squared distance of the resample's mean from the
    // shift; while that is at most half of the sum of squares, the difference keeps nearly full
    // precision. Beyond it (a resample of nearly equal values, a constant one among them, which
    // must give exactly 0) the sums are taken again about the resample's own means.
    if (!(out.squaredDeviations >= 0.5 * allSquares) ||
        !(out.winsorizedSquaredDeviations >= 0.5 * wSquares)) {
        return SumsAboutOwnMeans(sorted, counts, positions, n, trimmed, lowest, highest);
    }
    return out;
}

}  // namespace corvane
