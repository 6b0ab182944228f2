#include "analysis/EffectSizeAnalysis.h"

#include <optional>
#include <utility>

#include "common/Single.h"

namespace corvane {

namespace {

using Kind = AnalysisError::Kind;

// The variables' checks, in order: both chosen, and numbers in the dependent variable, which is
// checked before the groups it is split into.
std::optional<AnalysisError> CheckVariables(const DataSet& data, const EffectSizeRequest& request) {
    if (request.dependent == kNone) return AnalysisError{Kind::NoDependentVariable};
    if (request.grouping == kNone) return AnalysisError{Kind::NoGroupingVariable};
    if (const VariableFacts& facts = data.facts(request.dependent);
        facts.kind == VariableKind::Text) {
        return AnalysisError{.kind = Kind::DependentHoldsText,
                             .variable = request.dependent,
                             .variableName = data.name(request.dependent),
                             .text = facts.firstText,
                             .row = facts.firstTextRow};
    }
    return std::nullopt;
}

// The bootstrap's failure as the user is told it.
AnalysisError FromBootstrap(const BootstrapError& e, std::int32_t dependent) {
    switch (e.kind) {
        case BootstrapError::Kind::Cancelled:
            return {Kind::Cancelled};
        case BootstrapError::Kind::ZeroVariance:
            return {.kind = Kind::ZeroVariance, .group = e.group};
        case BootstrapError::Kind::Overflow:
            break;
    }
    switch (e.what) {
        case Overflow::Variance:
            return {.kind = Kind::VarianceTooLarge, .group = e.group, .variable = dependent};
        case Overflow::WinsorizedVariance:
            return {
                .kind = Kind::WinsorizedVarianceTooLarge, .group = e.group, .variable = dependent};
        case Overflow::Estimate:
            return {.kind = Kind::EstimateCannotBeShown, .group = e.group, .estimate = e.estimate};
        default:
            return {.kind = Kind::ValuesTooLarge, .variable = dependent};
    }
}

EffectSizeSubject Subject(const DataSet& data, const EffectSizeRequest& request,
                          ChosenGroups groups) {
    EffectSizeSubject s;
    s.dependent = request.dependent;
    s.grouping = request.grouping;
    s.named = !data.names().empty();
    s.dependentName = data.name(request.dependent);
    s.groupingName = data.name(request.grouping);
    s.group1Phrase = GroupPhrase(data, request.grouping, groups.code1);
    s.group2Phrase = GroupPhrase(data, request.grouping, groups.code2);
    s.groups = std::move(groups);
    return s;
}

}  // namespace

Result<EffectSizeOutcome, AnalysisError> RunEffectSizeAnalysis(const DataSet& data,
                                                               const EffectSizeRequest& request,
                                                               std::uint64_t seed,
                                                               const ProgressCallback& progress,
                                                               const RunOptions& options) {
    if (auto failure = CheckVariables(data, request)) return std::move(*failure);
    auto chosen = ChooseGroups(data, request.grouping, request.code1Text, request.code2Text);
    if (!chosen) return chosen.error();
    const ChosenGroups& codes = chosen.value();

    // The groups are read where they lie in the matrix: a copy of a hundred million values
    // would double what the data set takes.
    const auto [group1, group2] = GroupValues::OfMatrix(
        data.matrix(), data.cases(), request.dependent, request.grouping, codes.code1, codes.code2);
    int group = 1;
    for (const GroupValues* values : {&group1, &group2}) {
        if (static_cast<std::int64_t>(values->size()) < kMinGroupSize) {
            return AnalysisError{.kind = Kind::GroupTooSmall, .group = group};
        }
        ++group;
    }

    auto run = RunBootstrap(group1, group2, request.settings, seed, progress, options);
    if (!run) return FromBootstrap(run.error(), request.dependent);
    return EffectSizeOutcome{Subject(data, request, std::move(chosen).value()), request.settings,
                             std::move(run).value()};
}

}  // namespace corvane
