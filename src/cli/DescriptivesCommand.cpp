#include "analysis/Descriptives.h"
#include "analysis/render/DescriptivesJson.h"
#include "analysis/render/DescriptivesReport.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "common/Messages.h"

namespace corvane::cli {

std::string RunDescriptives(const ParsedArgs& a, std::ostream&, const CliEnvironment&) {
    const std::string& varsText = a.required("vars");
    ParseDelimiter(a);
    ParseSheet(a);
    const bool json = ParseJsonFormat(a);

    const std::string shown = DisplayPath(a.file);
    const DataSet data = Import(a.file, shown, a);
    const std::vector<std::int32_t> variables = ResolveVariableList(varsText, data.names());
    for (const std::int32_t v : variables) {
        if (v > data.variables()) throw UserError{msg::VariableNotInData(v, data.variables())};
    }
    auto rows = ComputeDescriptives(data, variables);
    if (!rows) throw UserError{AnalysisErrorText(rows.error()).text};

    const std::string report = json ? DescriptivesJson(rows.value(), data, shown)
                                    : BuildDescriptivesReport(rows.value(), data.names());
    return WithLineEnds(report, a.flag("crlf"));
}

}  // namespace corvane::cli
