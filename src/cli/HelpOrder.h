#pragma once

#include <string>
#include <vector>

#include "cli/CliCommand.h"

namespace corvane::cli {

// One option as the help describes it, with the commands that take it so.
struct OptionHelp {
    CliOption option;
    std::vector<std::string> commands;
};

// Every distinct option declaration of `commands`, in the order the usage's paragraphs and the
// manual page take them: one order for the whole tool, where each command's usage line keeps its
// own. Two commands share an entry when they declare the option alike.
std::vector<OptionHelp> OptionsInHelpOrder(const std::vector<CliCommand>& commands);

}  // namespace corvane::cli
