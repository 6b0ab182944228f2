#include "analysis/Descriptives.h"
#include "analysis/render/DescriptivesJson.h"
#include "analysis/render/DescriptivesReport.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "common/Messages.h"

namespace corvane::cli {

std::string RunDescriptives(DescriptivesOptions options, std::ostream&, const CliEnvironment&) {
    const bool json = options.json;
    const std::string shown = DisplayPath(options.data.file);
    const DataSet data = Import(options.data, shown);
    const std::vector<std::int32_t> variables =
        ResolveVariableList(options.variablesText, data.names());
    CheckInData(variables, data);
    auto rows = ComputeDescriptives(data, variables);
    if (!rows) throw UserError{AnalysisErrorText(rows.error()).text};

    const std::string report = json ? DescriptivesJson(rows.value(), data, shown)
                                    : BuildDescriptivesReport(rows.value(), data.names());
    return WithLineEnds(report, options.crlf);
}

}  // namespace corvane::cli
