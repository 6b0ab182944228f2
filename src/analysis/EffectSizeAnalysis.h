#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/Bootstrap.h"
#include "common/Result.h"
#include "data/DataSet.h"

namespace corvane {

// Everything the effect-size window reads from its controls.
struct EffectSizeRequest {
    std::int32_t dependent = 9999999;  // 9999999: nothing ticked
    std::int32_t grouping = 9999999;
    std::string code1Text;
    std::string code2Text;
    BootstrapSettings settings;
};

struct EffectSizeOutcome {
    BootstrapResult result;
    std::string report;
};

// A failed analysis: the message box text and title.
struct AnalysisError {
    std::string message;
    std::string title;
    bool cancelled = false;  // stopped through the run's CancelToken: nothing to show
};

// The validations in order, the extraction, the bootstrap and the report. `seed` keys the
// trials' draws (RunBootstrap). `progress` is called on the calling thread.
Result<EffectSizeOutcome, AnalysisError> RunEffectSizeAnalysis(const DataSet& data,
                                                               const EffectSizeRequest& request,
                                                               std::uint64_t seed,
                                                               const ProgressCallback& progress,
                                                               const RunOptions& options = {});

}  // namespace corvane
