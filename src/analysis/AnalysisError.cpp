#include "analysis/AnalysisError.h"

#include "analysis/Estimates.h"
#include "analysis/GroupChoice.h"
#include "common/Messages.h"

namespace corvane {

namespace {

std::string Text(const AnalysisError& e) {
    using Kind = AnalysisError::Kind;
    switch (e.kind) {
        case Kind::NoDependentVariable:
            return msg::kNoDependentVariable;
        case Kind::NoGroupingVariable:
            return msg::kNoGroupingVariable;
        case Kind::DependentHoldsText:
            return msg::DependentHoldsText(VariableCaption(e.variable, e.variableName), e.text,
                                           e.row);
        case Kind::GroupValueInvalid:
            return e.group == 2 ? msg::kGroup2CodeInvalid : msg::kGroup1CodeInvalid;
        case Kind::GroupValueNotHeld:
            return msg::GroupValueNotHeld(e.group, VariableCaption(e.variable, e.variableName),
                                          e.values);
        case Kind::GroupTooSmall:
            return e.group == 2 ? msg::kGroup2TooSmall : msg::kGroup1TooSmall;
        case Kind::ZeroVariance:
            return e.group == 2 ? msg::kGroup2ZeroVariance : msg::kGroup1ZeroVariance;
        case Kind::ValuesTooLarge:
            return msg::ValuesTooLarge(e.variable);
        case Kind::VarianceTooLarge:
            return msg::VarianceTooLarge(e.variable, e.group);
        case Kind::WinsorizedVarianceTooLarge:
            return msg::WinsorizedVarianceTooLarge(e.variable, e.group);
        case Kind::EstimateCannotBeShown: {
            const EstimateDescription& d = Describe(e.estimate);
            return msg::EstimateCannotBeShown(d.name, e.group, d.spread, d.centres);
        }
        case Kind::Cancelled:
            return msg::kAnalysisCancelled;
        case Kind::SeedInvalid:
            return msg::kSeedInvalid;
        case Kind::NothingTicked:
            return msg::kNothingTicked;
    }
    return msg::AnalysisFailed("unknown failure");
}

}  // namespace

AnalysisMessage AnalysisErrorText(const AnalysisError& e) {
    return {msg::kTitleAnalysisError, Text(e)};
}

}  // namespace corvane
