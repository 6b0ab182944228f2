#pragma once

#include <cstdint>
#include <vector>

#include "analysis/EstimateKind.h"
#include "data/DataMatrix.h"

namespace corvane {

// The values of one group, in case order.
using GroupSample = std::vector<float>;

// The statistics of one group before their rounding to single precision.
struct GroupMoments {
    double mean = 0;
    double trimmedMean = 0;
    double variance = 0;
    double winsorizedVariance = 0;
};

struct GroupStats {
    std::int32_t n = 0;
    float mean = 0;
    float trimmedMean = 0;
    float variance = 0;
    float winsorizedVariance = 0;
    // What the effect sizes are computed from, so that each of them is rounded only once.
    GroupMoments exact;
};

struct EffectSizes {
    float pooledVariance = 0;
    float pooledWinsorizedVariance = 0;
    EstimateValues values{};  // in the order of kEstimates; 9999999 when undefined

    float operator[](EstimateKind kind) const { return values[IndexOf(kind)]; }
};

struct GroupPair {
    GroupSample group1;
    GroupSample group2;
};

inline constexpr float kTrimProportion = 0.2f;
inline constexpr std::int32_t kMinGroupSize = 2;

// The result that could not be stored in single precision. The sums are double and cannot
// overflow for single data; only a stored result can. `Values` stands for a result that no
// single data can push out of range (a mean, a pooled value), named by the values alone.
enum class Overflow { None, Values, Variance, WinsorizedVariance, Estimate };

struct Checked {
    Overflow overflow = Overflow::None;
    EstimateKind estimate = EstimateKind::D;  // for Overflow::Estimate: the one out of range
    explicit operator bool() const { return overflow == Overflow::None; }
};

// Cases 1..cases in order: a missing dependent cell skips the case; otherwise code 1 is tested
// before code 2.
GroupPair ExtractGroups(const DataMatrix& data, std::int32_t cases, std::int32_t dependent,
                        std::int32_t grouping, float code1, float code2);

// The trimming count g: the integer part of n times the widened single-precision 0.2.
std::int64_t TrimCount(std::int64_t n);

// The double-precision sums of one sample from which its statistics are rounded, each once.
// The trimmed sample drops the TrimCount(n) lowest and highest values; the Winsorized sample
// replaces them by the lowest and the highest value kept.
struct GroupSums {
    double sum = 0;                          // of all values: the mean
    double squaredDeviations = 0;            // about the mean: the variance
    double trimmedSum = 0;                   // of the kept values: the trimmed mean
    double winsorizedSquaredDeviations = 0;  // of the Winsorized sample about its own mean
};

// Rounds the statistics of n >= 2 values from their sums, each once to single precision.
Checked GroupStatsFromSums(const GroupSums& sums, std::int64_t n, GroupStats& out);

// The steps of the case-order sums, one value at a time: a pass that reads values for other
// ends as well takes them as AddCaseOrderSums does.
inline void AddToSum(double& sum, float v) { sum += static_cast<double>(v); }
inline void AddSquaredDeviation(double& squares, double mean, float v) {
    const double e = static_cast<double>(v) - mean;
    squares += e * e;
}

// The sum and the squared deviations of n >= 2 values, each left to right in double precision
// over the values in case order, which `forEach(f)` passes to f one by one.
template <class CaseOrder>
void AddCaseOrderSums(const CaseOrder& forEach, std::int64_t n, GroupSums& sums) {
    forEach([&](float v) { AddToSum(sums.sum, v); });
    const double mean = sums.sum / static_cast<double>(n);
    forEach([&](float v) { AddSquaredDeviation(sums.squaredDeviations, mean, v); });
}

// The trimmed sum and the Winsorized squared deviations of n >= 2 values, each left to right
// in double precision over the values in ascending order: `ascending(from, to, f)` passes the
// values at ascending positions from..to-1 (from 0) to f one by one.
template <class Ascending>
void AddAscendingSums(const Ascending& ascending, std::int64_t n, GroupSums& sums) {
    const std::int64_t trimmed = TrimCount(n);
    ascending(trimmed, n - trimmed, [&](float v) { sums.trimmedSum += static_cast<double>(v); });
    double lowest = 0, highest = 0;
    ascending(trimmed, trimmed + 1, [&](float v) { lowest = v; });
    ascending(n - trimmed - 1, n - trimmed, [&](float v) { highest = v; });
    const double dTrimmed = static_cast<double>(trimmed);
    // The Winsorized sample: `trimmed` copies of the lowest kept value, the kept values, and
    // `trimmed` copies of the highest.
    const double wMean =
        ((dTrimmed * lowest + sums.trimmedSum) + dTrimmed * highest) / static_cast<double>(n);
    double& wd = sums.winsorizedSquaredDeviations;
    wd = dTrimmed * ((lowest - wMean) * (lowest - wMean));
    ascending(trimmed, n - trimmed, [&](float v) {
        const double e = static_cast<double>(v) - wMean;
        wd += e * e;
    });
    wd += dTrimmed * ((highest - wMean) * (highest - wMean));
}

// The statistics of one group from its values in case order and the same values in ascending
// order: the sum and the squared deviations run over `caseOrder`, the trimmed sum and the
// Winsorized squared deviations over `ascending`, each left to right in double precision.
Checked ComputeGroupStatsPresorted(const float* caseOrder, const float* ascending, std::int64_t n,
                                   GroupStats& out);

// Pooled variances and every estimate of kEstimates from the groups' unrounded statistics,
// standardized by the chosen group (1 or 2), each rounded once to single precision. An estimate
// is undefined only when the chosen group's spread it divides by is exactly 0. An overflow
// names the first estimate out of range, in table order, before the pooled values.
Checked ComputeEffectSizes(const GroupStats& g1, const GroupStats& g2, int chosenGroup,
                           EffectSizes& out);

}  // namespace corvane
