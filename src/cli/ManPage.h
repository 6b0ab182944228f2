#pragma once

#include <string>
#include <vector>

#include "cli/CliCommand.h"

namespace corvane::cli {

// The manual page corvane-cli(1) in roff, made from the commands' declarations. `version` and
// `date` go into its title line.
std::string ManPage(const std::vector<CliCommand>& commands, const std::string& version,
                    const std::string& date);

}  // namespace corvane::cli
