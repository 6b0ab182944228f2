#pragma once

#include <string>

#include "analysis/BootstrapDistribution.h"

// What --distribution adds to an effect-size run.
namespace corvane::cli {

// "trial,d,robust_d" and one line per attempted trial in trial order, LF line ends; an
// undefined value is an empty field.
std::string TrialValuesCsv(const BootstrapResult& result);

// The bars of one histogram as a JSON array, one object per bar on its own line.
std::string JsonHistogram(const BootstrapDistribution& distribution, int indent);

}  // namespace corvane::cli
