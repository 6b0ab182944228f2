#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "data/formats/ImportSummary.h"

namespace corvane::cli {

std::string RunImport(const ParsedArgs& a, std::ostream&, const CliEnvironment&) {
    const std::string shown = DisplayPath(a.file);
    const DataSet data = Import(a.file, shown, a);
    return WithLineEnds(ImportSummary(shown, data.cases(), data.variables(), !data.names().empty(),
                                      data.readAs(), data.source()),
                        a.flag("crlf"));
}

}  // namespace corvane::cli
