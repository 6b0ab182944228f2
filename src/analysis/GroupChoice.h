#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// "Var 2", or "Var 2 (group)" when the file's first line names it.
std::string VariableCaption(std::int32_t variable, const std::vector<std::string>& names);

// Reads the two group texts against variable `grouping`, spaces around them ignored. A text
// variable is named by its labels only, so "1" means the label "1"; labelled numbers by a code
// or by a label; plain numbers by a number, as the field classification reads one. Fails with
// the message box text for the first group that names no value; for a variable with labels it
// goes on to list them.
Result<ChosenGroups, std::string> ChooseGroups(const DataSet& data, std::int32_t grouping,
                                               std::string_view text1, std::string_view text2);

}  // namespace corvane
