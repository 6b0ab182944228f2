#pragma once

#include <string>

#include "analysis/Bootstrap.h"

namespace corvane {

// The trial values the batch tool's --distribution writes: a header "trial,d,robust_d" (each
// estimate's key, in the order of kEstimates) and one line per attempted trial in trial order,
// LF line ends; an undefined value is an empty field.
std::string TrialValuesCsv(const BootstrapResult& result);

}  // namespace corvane
