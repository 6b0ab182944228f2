#include "analysis/GroupChoice.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "common/Messages.h"
#include "common/NumberText.h"
#include "data/FieldClassifier.h"

namespace corvane {

namespace {

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A number the cells can hold: one beyond the single range matches no cell.
std::optional<float> NumberCode(std::string_view text) {
    const auto code = ParseGroupCode(text);
    if (!code || !std::isfinite(static_cast<float>(*code))) return std::nullopt;
    return static_cast<float>(*code);
}

std::optional<float> LabelCode(const DataSet& data, std::int32_t grouping, std::string_view text) {
    // A label typed exactly as it stands wins over one its spaces would reach.
    if (const auto code = data.codeOf(grouping, text)) return code;
    return data.codeOf(grouping, Trimmed(text));
}

std::optional<float> FindCode(const DataSet& data, std::int32_t grouping, std::string_view text) {
    switch (data.facts(grouping).kind) {
        case VariableKind::Text:
            return LabelCode(data, grouping, text);
        case VariableKind::LabelledNumbers:
            // A number is read as a code first, as it is for every numeric variable.
            if (const auto code = NumberCode(text)) return code;
            return LabelCode(data, grouping, text);
        default:
            return NumberCode(text);
    }
}

// What a report calls a group: its label, or the code itself when the code has none.
std::string GroupLabel(const DataSet& data, std::int32_t grouping, float code) {
    const std::string* label = data.labelOf(grouping, code);
    return label ? *label : FormatSingle(code);
}

// The values a group may name, as the message lists them: one more than it shows at most, so
// that it knows to go on.
std::vector<std::string> ValuesToName(const DataSet& data, std::int32_t grouping) {
    const VariableFacts& facts = data.facts(grouping);
    const std::size_t listed = std::min(facts.labels.size(), msg::kGroupValuesShown + 1);
    std::vector<std::string> values;
    values.reserve(listed);
    for (std::size_t i = 0; i < listed; ++i) {
        const ValueLabel& l = facts.labels[i];
        values.push_back(
            facts.kind == VariableKind::Text ? l.text : FormatSingle(l.code) + " (" + l.text + ")");
    }
    return values;
}

std::string VariableText(const DataSet& data, std::int32_t v) {
    const std::string& name = data.name(v);
    return name.empty() ? "Var " + FormatInt(v) : name;
}

}  // namespace

std::string VariableCaption(std::int32_t variable, const std::string& name) {
    return "Var " + FormatInt(variable) + (name.empty() ? "" : " (" + name + ")");
}

std::string VariableCaption(std::int32_t variable, const std::vector<std::string>& names) {
    return VariableCaption(variable, VariableName(names, variable));
}

Result<ChosenGroups, AnalysisError> ChooseGroups(const DataSet& data, std::int32_t grouping,
                                                 std::string_view text1, std::string_view text2) {
    const bool labelled = data.hasLabels(grouping);
    ChosenGroups chosen;
    chosen.labelled = labelled;
    int group = 1;
    for (const std::string_view text : {text1, text2}) {
        const auto code = FindCode(data, grouping, text);
        if (!code && !labelled) {
            return AnalysisError{.kind = AnalysisError::Kind::GroupValueInvalid, .group = group};
        }
        if (!code) {
            return AnalysisError{.kind = AnalysisError::Kind::GroupValueNotHeld,
                                 .group = group,
                                 .variable = grouping,
                                 .variableName = data.name(grouping),
                                 .values = ValuesToName(data, grouping)};
        }
        (group == 1 ? chosen.code1 : chosen.code2) = *code;
        if (labelled) {
            (group == 1 ? chosen.label1 : chosen.label2) = GroupLabel(data, grouping, *code);
        }
        ++group;
    }
    return chosen;
}

std::string GroupPhrase(const DataSet& data, std::int32_t grouping, float code) {
    if (const std::string* label = data.labelOf(grouping, code)) return *label;
    return VariableText(data, grouping) + " = " + FormatSingle(code);
}

}  // namespace corvane
