#pragma once

#include <string>

#include "data/formats/FormatRegistry.h"

namespace corvane {

// The batch tool's help paragraph on its --delimiter (D) and --sheet (S) options: what auto
// detects, each row's help phrase once in row order, wrapped at 79 columns, each line ended by
// "\n".
std::string FormatsHelpText(const FormatRegistry& formats = FormatRegistry::Builtin());

}  // namespace corvane
