#include "analysis/Descriptives.h"
#include "cli/CliJson.h"
#include "cli/Commands.h"
#include "common/Messages.h"

namespace corvane::cli {

std::string RunDescriptives(const ParsedArgs& a) {
    const std::string& varsText = a.required("vars");
    auto variables = ParseVariableList(varsText);
    const char delimiter = ParseDelimiter(a);
    const bool json = ParseJsonFormat(a);

    const std::string shown = DisplayPath(a.file);
    const DataSet data = Import(a.file, shown, delimiter);
    if (!variables && !data.names().empty()) variables = ParseVariableList(varsText, data.names());
    if (!variables) {
        throw UsageError{data.names().empty()
                             ? "--vars takes variable numbers from 1 to 1000, such as 1,3-5"
                             : "--vars takes variable numbers from 1 to 1000 or names from the "
                               "file's first line, such as 1,3-5 or group,score"};
    }
    for (const std::int32_t v : *variables) {
        if (v > data.variables()) throw UserError{msg::VariableNotInData(v, data.variables())};
    }
    auto rows = ComputeDescriptives(data.matrix(), data.cases(), *variables);
    if (!rows) throw UserError{rows.error().message};

    const bool crlf = a.flag("crlf");
    if (!json) return WithLineEnds(BuildDescriptivesReport(rows.value(), data.names()), crlf);

    auto optional = [](const auto& x) { return x ? JsonNumber(*x) : std::string("null"); };
    std::string list = "[";
    for (std::size_t i = 0; i < rows->size(); ++i) {
        const DescriptiveRow& row = rows.value()[i];
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
    const std::string doc = JsonObject(0)
                                .add("command", JsonString("descriptives"))
                                .add("file", JsonString(shown))
                                .add("cases", std::to_string(data.cases()))
                                .add("variables", list)
                                .str() +
                            "\n";
    return WithLineEnds(doc, crlf);
}

}  // namespace corvane::cli
