#include "cli/Commands.h"

namespace corvane::cli {

const std::vector<CliCommand>& Commands() {
    static const std::vector<CliCommand> commands = {
        {"import", {"delimiter", "sheet"}, {"crlf"}, RunImport},
        {"effect-size",
         {"dv", "gv", "group1", "group2", "delimiter", "sheet", "trials", "level", "variance-of",
          "seed", "format", "threads", "distribution"},
         {"crlf"},
         RunEffectSize},
        {"descriptives", {"vars", "delimiter", "sheet", "format"}, {"crlf"}, RunDescriptives},
    };
    return commands;
}

}  // namespace corvane::cli
