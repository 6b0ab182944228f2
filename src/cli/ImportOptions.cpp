#include "cli/ImportOptions.h"

#include "cli/Commands.h"
#include "cli/CommonOptions.h"
#include "cli/MakeCommand.h"

namespace corvane::cli {

CliCommand ImportCommand() {
    return MakeCommand<ImportOptions>(
        {.name = "import",
         .summary = "prints the import summary: the file and what it was read as, the number of "
                    "cases, the number of variables and where their names come from.",
         .examples = {"data.xlsx --sheet 2"}},
        {DelimiterOption<ImportOptions>(), SheetOption<ImportOptions>(),
         CrlfOption<ImportOptions>()},
        RunImport);
}

}  // namespace corvane::cli
