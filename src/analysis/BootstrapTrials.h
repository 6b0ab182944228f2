#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "analysis/Bootstrap.h"
#include "analysis/GroupResampler.h"

namespace corvane {

// Every trial's estimates in trial order (element t - 1 for trial t), the missing code for an
// undefined one; one column per row of kEstimates, in its order.
struct TrialValues {
    std::array<std::vector<float>, kEstimateCount> values;
};

// Runs trials 1..trials. Trial t draws Group 1's resample and then Group 2's from the stream
// UniformGenerator::ForStream(seed, t) and writes only its own element, so the values are the
// same for every thread count. The error is the earliest trial's overflow whatever the thread
// count, or the cancellation; `progress` follows RunBootstrap's contract.
Result<TrialValues, BootstrapError> RunTrials(const GroupResampler& group1,
                                              const GroupResampler& group2, std::uint64_t seed,
                                              std::int32_t trials, int chosenGroup,
                                              const ProgressCallback& progress,
                                              const RunOptions& options);

}  // namespace corvane
