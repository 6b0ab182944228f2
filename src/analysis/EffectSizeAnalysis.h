#pragma once

#include <cstdint>
#include <string>

#include "analysis/AnalysisError.h"
#include "analysis/Bootstrap.h"
#include "analysis/GroupChoice.h"
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

// What a run analysed, as its outputs name it; read from the data set once, so that no output
// reads the data set or the groups again.
struct EffectSizeSubject {
    std::int32_t dependent = 1;
    std::int32_t grouping = 2;
    // Whether the file's first line names the variables, and the names it gives these two
    // (empty for one it leaves unnamed).
    bool named = false;
    std::string dependentName;
    std::string groupingName;
    ChosenGroups groups;
    // Each group as the sentence for a paper names it (GroupPhrase).
    std::string group1Phrase;
    std::string group2Phrase;
};

// A successful run: what was analysed, how, and what came out. Every output of the run (the
// report, the JSON, the sentence, the trial values, the pictures) is made from this alone.
struct EffectSizeOutcome {
    EffectSizeSubject subject;
    BootstrapSettings settings;
    BootstrapResult result;
};

// The validations in order, the extraction and the bootstrap. `seed` keys the trials' draws
// (RunBootstrap). `progress` is called on the calling thread.
Result<EffectSizeOutcome, AnalysisError> RunEffectSizeAnalysis(const DataSet& data,
                                                               const EffectSizeRequest& request,
                                                               std::uint64_t seed,
                                                               const ProgressCallback& progress,
                                                               const RunOptions& options = {});

}  // namespace corvane
