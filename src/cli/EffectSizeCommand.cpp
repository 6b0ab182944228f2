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

// An effect-size command line, read and checked before the data file is.
struct EffectSizeOptions {
    std::string dependentText;  // a number or a name, resolved once the file is read
    std::string groupingText;
    EffectSizeRequest request;
    std::uint64_t seed = 0;
    EffectSizeFormat format = EffectSizeFormat::Text;
    RunOptions run;
    const std::string* distribution = nullptr;  // the trials' CSV, when asked for
};

EffectSizeOptions ReadOptions(const ParsedArgs& a, const CliEnvironment& env) {
    EffectSizeOptions o;
    const std::vector<std::string> variables = VariableOptions(a, {"dv", "gv"});
    o.dependentText = variables[0];
    o.groupingText = variables[1];
    o.request.code1Text = a.required("group1");
    o.request.code2Text = a.required("group2");
    ParseDelimiter(a);  // usage errors come before the file is read
    ParseSheet(a);
    if (const auto trials = ParseTrials(a)) o.request.settings.trials = *trials;
    o.request.settings.level = *ConfidenceLevel(ParseLevelPercent(a));
    if (const auto group = ParseVarianceOf(a)) o.request.settings.chosenGroup = *group;
    o.seed = ParseSeed(a);
    o.format = ParseEffectSizeFormat(a);
    o.run.cancel = env.cancel;
    if (const auto threads = ParseThreads(a)) o.run.threads = *threads;
    o.distribution = ParseDistribution(a);
    return o;
}

// Names the chosen variables by number and checks that the file has them.
void ChooseVariables(EffectSizeOptions& o, const DataSet& data) {
    o.request.dependent = ResolveVariable(o.dependentText, data.names(), "dv");
    o.request.grouping = ResolveVariable(o.groupingText, data.names(), "gv");
    for (const std::int32_t v : {o.request.dependent, o.request.grouping}) {
        if (v > data.variables()) throw UserError{msg::VariableNotInData(v, data.variables())};
    }
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

std::string RunEffectSize(const ParsedArgs& a, std::ostream& err, const CliEnvironment& env) {
    EffectSizeOptions options = ReadOptions(a, env);
    const std::string shown = DisplayPath(a.file);
    const DataSet data = Import(a.file, shown, a);
    ChooseVariables(options, data);
    const EffectSizeOutcome outcome = Analyse(options, data, err, env);

    const bool crlf = a.flag("crlf");
    if (options.distribution != nullptr) {
        SaveDistribution(*options.distribution, outcome.result, crlf);
    }
    switch (options.format) {
        case EffectSizeFormat::Json:
            return WithLineEnds(EffectSizeJson(outcome, shown, options.distribution != nullptr),
                                crlf);
        case EffectSizeFormat::Sentence:
            return WithLineEnds(PaperSentence(outcome) + "\n", crlf);
        case EffectSizeFormat::Text:
            break;
    }
    return WithLineEnds(BuildReport(outcome), crlf);
}

}  // namespace corvane::cli
