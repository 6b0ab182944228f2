#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "analysis/Bootstrap.h"
#include "analysis/EffectSizeAnalysis.h"
#include "cli/DataFileChoice.h"

namespace corvane::cli {

// --format of an effect size: the report, JSON or one sentence for a manuscript.
enum class EffectSizeFormat { Text, Json, Sentence };

// An effect-size command line, read and checked before the data file is.
struct EffectSizeOptions {
    DataFileChoice data;
    std::string dependentText;  // a number or a name, resolved once the file is read
    std::string groupingText;
    EffectSizeRequest request;  // the codes and settings; the variables once resolved
    std::uint64_t seed = 0;
    EffectSizeFormat format = EffectSizeFormat::Text;
    RunOptions run;                           // the threads
    std::optional<std::string> distribution;  // the trials' CSV, when asked for
    bool crlf = false;
};

}  // namespace corvane::cli
