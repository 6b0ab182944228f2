#include "cli/Commands.h"

namespace corvane::cli {

const std::vector<CliCommand>& Commands() {
    static const std::vector<CliCommand> commands = {ImportCommand(), EffectSizeCommand(),
                                                     DescriptivesCommand()};
    return commands;
}

}  // namespace corvane::cli
