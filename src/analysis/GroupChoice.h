#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/AnalysisError.h"
#include "common/Result.h"
#include "data/DataSet.h"

namespace corvane {

// The two groups of an effect-size run as the user named them: the codes their grouping cells
// hold, and what the report calls them when the grouping variable has labels.
struct ChosenGroups {
    float code1 = 0.0f;
    float code2 = 0.0f;
    // Whether the grouping variable has labels; the labels are empty when it has none. A code
    // without a label of its own is called by its number.
    bool labelled = false;
    std::string label1;
    std::string label2;
};

// "Var 2", or "Var 2 (group)" when the file's first line names it `name`.
std::string VariableCaption(std::int32_t variable, const std::string& name);
std::string VariableCaption(std::int32_t variable, const std::vector<std::string>& names);

// Reads the two group texts against variable `grouping`, spaces around them ignored. A text
// variable is named by its labels only, so "1" means the label "1"; labelled numbers by a code
// or by a label; plain numbers by a number, as the field classification reads one. Fails for
// the first group that names no value; for a variable with labels the failure lists them.
Result<ChosenGroups, AnalysisError> ChooseGroups(const DataSet& data, std::int32_t grouping,
                                                 std::string_view text1, std::string_view text2);

// A chosen group as the sentence for a paper names it: the label of its code, else "<the
// grouping variable's name, or Var N> = <code>". Named from the code the analysis chose, never
// from the text typed again, so a text variable whose labels look like numbers ("2", "1") is
// named by the label the user meant.
std::string GroupPhrase(const DataSet& data, std::int32_t grouping, float code);

}  // namespace corvane
