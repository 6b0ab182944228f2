#include "analysis/BootstrapChoices.h"
#include "analysis/EffectSizeAnalysis.h"
#include "analysis/render/EffectSizeJson.h"
#include "analysis/render/EffectSizeReport.h"
#include "analysis/render/PaperSentence.h"
#include "analysis/render/TrialValuesCsv.h"
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
    if (!outcome && outcome.error().cancelled()) throw Interrupted{};
    if (!outcome) throw UserError{AnalysisErrorText(outcome.error()).text};
    return std::move(outcome).value();
}

void SaveDistribution(const std::string& csv, const BootstrapResult& r, bool crlf) {
    auto saved = SaveFileSafely(csv, WithLineEnds(TrialValuesCsv(r), crlf));
    if (!saved) {
        throw UserError{
            msg::DistributionNotSaved(csv, saved.error().reason, saved.error().oldFileLost)};
    }
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
            return WithLineEnds(EffectSizeJson(outcome, shown, options.distribution.has_value()),
                                crlf);
        case EffectSizeFormat::Sentence:
            return WithLineEnds(PaperSentence(outcome) + "\n", crlf);
        case EffectSizeFormat::Text:
            break;
    }
    return WithLineEnds(BuildReport(outcome), crlf);
}

}  // namespace corvane::cli
