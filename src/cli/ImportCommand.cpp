#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "data/formats/ImportSummary.h"

namespace corvane::cli {

std::string RunImport(ImportCommandOptions options, std::ostream&, const CliEnvironment&) {
    const std::string shown = DisplayPath(options.data.file);
    const DataSet data = Import(options.data, shown);
    return WithLineEnds(ImportSummary(shown, data.cases(), data.variables(), !data.names().empty(),
                                      data.readAs(), data.source()),
                        options.crlf);
}

}  // namespace corvane::cli
