#include "analysis/Descriptives.h"
#include "cli/CliJson.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "common/Messages.h"

namespace corvane::cli {

namespace {

std::string JsonReport(const std::vector<DescriptiveRow>& rows, const DataSet& data,
                       const std::string& shown) {
    auto optional = [](const auto& x) { return x ? JsonNumber(*x) : std::string("null"); };
    std::string list = "[";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const DescriptiveRow& row = rows[i];
        list += i == 0 ? "\n    " : ",\n    ";
        list += JsonObject(4)
                    .add("variable", std::to_string(row.variable))
                    .addIf(!data.names().empty(), "name", JsonName(data.names(), row.variable))
                    .add("n", std::to_string(row.n))
                    .add("mean", optional(row.mean))
                    .add("sd", optional(row.sd))
                    .add("min", optional(row.min))
                    .add("max", optional(row.max))
                    .str();
    }
    list += "\n  ]";
    return JsonObject(0)
               .add("command", JsonString("descriptives"))
               .add("file", JsonString(shown))
               .add("cases", std::to_string(data.cases()))
               .add("variables", list)
               .str() +
           "\n";
}

}  // namespace

std::string RunDescriptives(DescriptivesOptions options, std::ostream&, const CliEnvironment&) {
    const bool json = options.json;
    const std::string shown = DisplayPath(options.data.file);
    const DataSet data = Import(options.data, shown);
    const std::vector<std::int32_t> variables =
        ResolveVariableList(options.variablesText, data.names());
    CheckInData(variables, data);
    auto rows = ComputeDescriptives(data, variables);
    if (!rows) throw UserError{rows.error().message};

    const std::string report = json ? JsonReport(rows.value(), data, shown)
                                    : BuildDescriptivesReport(rows.value(), data.names());
    return WithLineEnds(report, options.crlf);
}

}  // namespace corvane::cli
