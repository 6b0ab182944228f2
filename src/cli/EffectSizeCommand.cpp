#include "analysis/BootstrapChoices.h"
#include "analysis/BootstrapDistribution.h"
#include "analysis/EffectSizeAnalysis.h"
#include "analysis/GroupChoice.h"
#include "analysis/PaperSentence.h"
#include "cli/CliDistribution.h"
#include "cli/CliJson.h"
#include "cli/CommandSupport.h"
#include "cli/Commands.h"
#include "cli/ProgressBar.h"
#include "common/Messages.h"
#include "common/UniformGenerator.h"
#include "output/OutputFile.h"

namespace corvane::cli {

namespace {

// Names the chosen variables by number and checks that the file has them.
void ChooseVariables(EffectSizeOptions& o, const DataSet& data) {
    o.request.dependent = ResolveVariable(o.dependentText, data.names(), "dv");
    o.request.grouping = ResolveVariable(o.groupingText, data.names(), "gv");
    CheckInData({o.request.dependent, o.request.grouping}, data);
}

EffectSizeOutcome Analyse(const EffectSizeOptions& o, const DataSet& data, std::ostream& err,
                          const CliEnvironment& env) {
    ProgressBar bar(err, env.errIsTerminal, env.progressDelaySeconds, o.request.settings.trials);
    auto outcome = RunEffectSizeAnalysis(
        data, o.request, o.seed, [&bar](std::int32_t t) { bar.update(t); }, o.run);
    bar.finish();
    if (!outcome && outcome.error().cancelled) throw Interrupted{};
    if (!outcome) throw UserError{outcome.error().message};
    return std::move(outcome).value();
}

void SaveDistribution(const std::string& csv, const BootstrapResult& r, bool crlf) {
    auto saved = SaveFileSafely(csv, WithLineEnds(TrialValuesCsv(r), crlf));
    if (!saved) {
        throw UserError{
            msg::DistributionNotSaved(csv, saved.error().reason, saved.error().oldFileLost)};
    }
}

std::string JsonReport(const EffectSizeOptions& o, const DataSet& data, const std::string& shown,
                       const BootstrapResult& r) {
    const EffectSizeRequest& request = o.request;
    const bool named = !data.names().empty();
    const bool bins = o.distribution.has_value();
    const BootstrapDistributions pictures =
        bins ? MakeBootstrapDistributions(data, request, r) : BootstrapDistributions{};
    // The run has read the groups already, so they are read the same way again.
    const ChosenGroups groups =
        ChooseGroups(data, request.grouping, request.code1Text, request.code2Text).value();
    return JsonObject(0)
               .add("command", JsonString("effect-size"))
               .add("file", JsonString(shown))
               .add("dependent", std::to_string(request.dependent))
               .addIf(named, "dependent_name", JsonName(data.names(), request.dependent))
               .add("grouping", std::to_string(request.grouping))
               .addIf(named, "grouping_name", JsonName(data.names(), request.grouping))
               .add("group1_code", JsonNumber(groups.code1))
               .add("group2_code", JsonNumber(groups.code2))
               .addIf(groups.labelled, "group1_label", JsonString(groups.label1))
               .addIf(groups.labelled, "group2_label", JsonString(groups.label2))
               .add("trials", std::to_string(r.trials))
               .add("level", std::to_string(LevelPercent(request.settings.level)))
               .add("variance_of", std::to_string(request.settings.chosenGroup))
               .add("seed", std::to_string(o.seed))
               .add("group1", JsonGroup(r.group1))
               .add("group2", JsonGroup(r.group2))
               .add("pooled_variance", JsonNumber(r.observed.pooledVariance))
               .add("pooled_winsorized_variance", JsonNumber(r.observed.pooledWinsorizedVariance))
               .add("d", JsonEffect(r.observed.d))
               .add("robust_d", JsonEffect(r.observed.robustD))
               .add("d_interval", JsonInterval(r.dInterval, r.validD))
               .add("robust_d_interval", JsonInterval(r.robustDInterval, r.validRobustD))
               .add("valid_d_trials", std::to_string(r.validD))
               .add("valid_robust_d_trials", std::to_string(r.validRobustD))
               .addIf(bins, "d_histogram", JsonHistogram(pictures.d, 2))
               .addIf(bins, "robust_d_histogram", JsonHistogram(pictures.robustD, 2))
               .str() +
           "\n";
}

}  // namespace

std::string RunEffectSize(EffectSizeOptions options, std::ostream& err, const CliEnvironment& env) {
    options.run.cancel = env.cancel;
    const std::string shown = DisplayPath(options.data.file);
    const DataSet data = Import(options.data, shown);
    ChooseVariables(options, data);
    const EffectSizeOutcome outcome = Analyse(options, data, err, env);

    const bool crlf = options.crlf;
    if (options.distribution) {
        SaveDistribution(*options.distribution, outcome.result, crlf);
    }
    switch (options.format) {
        case EffectSizeFormat::Json:
            return WithLineEnds(JsonReport(options, data, shown, outcome.result), crlf);
        case EffectSizeFormat::Sentence:
            return WithLineEnds(PaperSentence(data, options.request, outcome.result) + "\n", crlf);
        case EffectSizeFormat::Text:
            break;
    }
    return WithLineEnds(outcome.report, crlf);
}

}  // namespace corvane::cli
