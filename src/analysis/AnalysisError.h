#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/EstimateKind.h"

namespace corvane {

// Why an analysis gave no result, whichever step met the failure. The windows turn it into a
// message box and the batch tool into a line on standard error, both through
// AnalysisErrorText.
struct AnalysisError {
    enum class Kind {
        NoDependentVariable,
        NoGroupingVariable,
        DependentHoldsText,          // variable, variableName, text, row
        GroupValueInvalid,           // group
        GroupValueNotHeld,           // group, variable, variableName, values
        GroupTooSmall,               // group
        ZeroVariance,                // group
        ValuesTooLarge,              // variable
        VarianceTooLarge,            // variable, group
        WinsorizedVarianceTooLarge,  // variable, group
        EstimateCannotBeShown,       // estimate, group
        Cancelled,                   // stopped through the run's CancelToken: nothing to show
        SeedInvalid,
        NothingTicked,  // descriptives
    };
    Kind kind = Kind::NoDependentVariable;
    int group = 0;  // 1 or 2
    std::int32_t variable = 0;
    std::string variableName{};  // from the file's first line; empty when it has none
    std::string text{};          // the first text a dependent variable holds
    std::int64_t row = 0;        // the file row of that text
    EstimateKind estimate = EstimateKind::D;
    std::vector<std::string> values{};  // what a grouping variable with labels holds, as listed

    bool cancelled() const { return kind == Kind::Cancelled; }
};

// What the user is shown for a failed analysis: the box title and the text.
struct AnalysisMessage {
    std::string title;
    std::string text;
};

AnalysisMessage AnalysisErrorText(const AnalysisError& e);

}  // namespace corvane
