#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/Estimates.h"
#include "analysis/GroupStatistics.h"

namespace corvane {

// A group with one copy of one of its distinct values left out. Equal values leave equal
// groups, so one row stands for `count` of the n leave-one-out groups.
struct LeftOut {
    float value = 0;
    std::int64_t count = 0;
    GroupMoments moments;  // of the n - 1 values left
};

// The leave-one-out groups of `sample` (n >= 2 values), one row per distinct value in
// ascending order. The values are sorted once (O(n log n)) and their distinct values found in
// one pass; the moments of all K rows then come from running moments of the distinct values
// merged from both ends (Chan's pairwise update, which adds only non-negative terms, so a group
// of equal values left keeps a spread of exactly 0), O(K) in all. A group of n - 1 = 1 value has
// no variance (NaN).
std::vector<LeftOut> LeaveOneOut(const GroupSample& sample);

// The BCa acceleration of one estimate, as scipy.stats.bootstrap forms it for two samples:
// the jackknife over Group 1's values, each left out in turn with Group 2 whole, and then over
// Group 2's; for group j with n_j values and jackknife values θ_i of mean θ·, U_i =
// (n_j - 1)(θ· - θ_i), and a = Σ_j Σ_i U_i³ / n_j³ / (6 (Σ_j Σ_i U_i² / n_j²)^1.5). `all1` and
// `all2` are the whole groups' moments. Nothing when a jackknife value is undefined or not
// finite, or when no left-out value changes the estimate (a = 0 / 0).
std::optional<double> JackknifeAcceleration(EstimateFormula formula,
                                            const std::vector<LeftOut>& group1,
                                            const std::vector<LeftOut>& group2,
                                            const GroupMoments& all1, const GroupMoments& all2,
                                            int chosenGroup);

}  // namespace corvane
