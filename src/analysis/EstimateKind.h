#pragma once

#include <array>
#include <cstddef>

namespace corvane {

// The statistics an effect-size run estimates, in the order every output lists them. Each has
// its row in kEstimates (Estimates.h), which holds its formula and every text that names it;
// a new statistic is a name here and a row there.
enum class EstimateKind { D, RobustD };

inline constexpr std::size_t kEstimateCount = static_cast<std::size_t>(EstimateKind::RobustD) + 1;

// One value per estimate, in the order of EstimateKind.
using EstimateValues = std::array<float, kEstimateCount>;

inline constexpr std::size_t IndexOf(EstimateKind kind) { return static_cast<std::size_t>(kind); }

}  // namespace corvane
