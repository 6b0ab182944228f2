#include "cli/ImportCommandOptions.h"

#include "cli/Commands.h"
#include "cli/CommonOptions.h"
#include "cli/MakeCommand.h"

namespace corvane::cli {

CliCommand ImportCommand() {
    return MakeCommand<ImportCommandOptions>(
        {.name = "import",
         .summary = "prints the import summary: the file and what it was read as, the number of "
                    "cases, the number of variables and where their names come from.",
         .examples = {"data.xlsx --sheet 2"}},
        {DelimiterOption<ImportCommandOptions>(), SheetOption<ImportCommandOptions>(),
         CrlfOption<ImportCommandOptions>()},
        RunImport);
}

}  // namespace corvane::cli
