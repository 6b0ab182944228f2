#include "analysis/render/DescriptivesJson.h"

#include "analysis/render/JsonText.h"

namespace corvane {

std::string DescriptivesJson(const std::vector<DescriptiveRow>& rows, const DataSet& data,
                             const std::string& file) {
    auto optional = [](const auto& x) { return x ? JsonNumber(*x) : std::string("null"); };
    std::string list = "[";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const DescriptiveRow& row = rows[i];
        list += i == 0 ? "\n    " : ",\n    ";
        list += JsonObject(4)
                    .add("variable", std::to_string(row.variable))
                    .addIf(!data.names().empty(), "name", JsonName(data.name(row.variable)))
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
               .add("file", JsonString(file))
               .add("cases", std::to_string(data.cases()))
               .add("variables", list)
               .str() +
           "\n";
}

}  // namespace corvane
