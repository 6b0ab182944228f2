#include "cli/DescriptivesOptions.h"

#include "cli/CliArguments.h"
#include "cli/Commands.h"
#include "cli/CommonOptions.h"
#include "cli/MakeCommand.h"

namespace corvane::cli {

namespace {

using Option = CommandOption<DescriptivesOptions>;

Option Vars() {
    return {{.name = "vars",
             .placeholder = "LIST",
             .required = true,
             .note = "LIST is such as 1,3-5.",
             .help = "The variables of the table, as numbers from 1 and ranges such as 1,3-5, or "
                     "where the file's first line names the variables also as names such as "
                     "group,score; each is shown once, in ascending order."},
            [](const std::string* text, DescriptivesOptions& o) { o.variablesText = *text; }};
}

Option Format() {
    return {{.name = "format",
             .placeholder = "text|json",
             .defaultText = "text",
             .help = "The table as text or as one JSON object, with null where the text shows a "
                     "dot."},
            [](const std::string* text, DescriptivesOptions& o) {
                if (text == nullptr || *text == "text") return;
                if (*text != "json") throw UsageError{"--format takes text or json"};
                o.json = true;
            }};
}

}  // namespace

CliCommand DescriptivesCommand() {
    using V = DescriptivesOptions;
    return MakeCommand<V>(
        {.name = "descriptives",
         .summary = "prints the number of present values, the mean, the standard deviation, the "
                    "minimum and the maximum of each chosen variable.",
         .examples = {"data.txt --vars 2-3 --format json"}},
        {Vars(), DelimiterOption<V>(), SheetOption<V>(), Format(), CrlfOption<V>()},
        RunDescriptives);
}

}  // namespace corvane::cli
