#include "analysis/EffectSizeAnalysis.h"

#include "analysis/EffectSizeReport.h"
#include "analysis/GroupChoice.h"
#include "common/Messages.h"
#include "common/Single.h"

namespace corvane {

Result<EffectSizeOutcome, AnalysisError> RunEffectSizeAnalysis(const DataSet& data,
                                                               const EffectSizeRequest& request,
                                                               std::uint64_t seed,
                                                               const ProgressCallback& progress,
                                                               const RunOptions& options) {
    auto fail = [](const std::string& text) {
        return AnalysisError{text, msg::kTitleAnalysisError};
    };
    if (request.dependent == kNone) return fail(msg::kNoDependentVariable);
    if (request.grouping == kNone) return fail(msg::kNoGroupingVariable);
    // What the dependent variable holds is checked before the groups it is split into.
    if (const VariableFacts& facts = data.facts(request.dependent);
        facts.kind == VariableKind::Text) {
        return fail(msg::DependentHoldsText(VariableCaption(request.dependent, data.names()),
                                            facts.firstText, facts.firstTextRow));
    }
    auto chosen = ChooseGroups(data, request.grouping, request.code1Text, request.code2Text);
    if (!chosen) return fail(chosen.error());
    const ChosenGroups& codes = chosen.value();

    // The groups are read where they lie in the matrix: a copy of a hundred million values
    // would double what the data set takes.
    const auto [group1, group2] = GroupValues::OfMatrix(
        data.matrix(), data.cases(), request.dependent, request.grouping, codes.code1, codes.code2);
    if (group1.size() < kMinGroupSize) return fail(msg::kGroup1TooSmall);
    if (group2.size() < kMinGroupSize) return fail(msg::kGroup2TooSmall);

    auto run = RunBootstrap(group1, group2, request.settings, seed, progress, options);
    if (!run) {
        const BootstrapError& e = run.error();
        if (e.kind == BootstrapError::Kind::Cancelled) {
            return AnalysisError{msg::kAnalysisCancelled, msg::kTitleAnalysisError, true};
        }
        if (e.kind == BootstrapError::Kind::ZeroVariance) {
            return fail(e.group == 2 ? msg::kGroup2ZeroVariance : msg::kGroup1ZeroVariance);
        }
        switch (e.what) {
            case Overflow::Variance:
                return fail(msg::VarianceTooLarge(request.dependent, e.group));
            case Overflow::WinsorizedVariance:
                return fail(msg::WinsorizedVarianceTooLarge(request.dependent, e.group));
            case Overflow::D:
                return fail(msg::DCannotBeShown(e.group));
            case Overflow::RobustD:
                return fail(msg::RobustDCannotBeShown(e.group));
            default:
                return fail(msg::ValuesTooLarge(request.dependent));
        }
    }
    EffectSizeOutcome outcome;
    outcome.result = std::move(run).value();
    outcome.report = BuildReport(outcome.result, request.settings, request.dependent,
                                 request.grouping, data.names(), codes);
    return outcome;
}

}  // namespace corvane
