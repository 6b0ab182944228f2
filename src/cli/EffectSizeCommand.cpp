#include <filesystem>

#include "analysis/BootstrapDistribution.h"
#include "analysis/EffectSizeAnalysis.h"
#include "cli/CliDistribution.h"
#include "cli/CliJson.h"
#include "cli/Commands.h"
#include "cli/ProgressBar.h"
#include "common/Messages.h"
#include "common/UniformGenerator.h"
#include "data/FieldClassifier.h"
#include "output/OutputFile.h"

namespace corvane::cli {

namespace {
constexpr std::int32_t kMaxTrials = 1000000;
constexpr std::uint32_t kMaxThreads = 1024;
}  // namespace

std::string RunEffectSize(const ParsedArgs& a, std::ostream& err, const CliEnvironment& env) {
    EffectSizeRequest request;
    const std::string& dependentText = a.required("dv");
    const std::string& groupingText = a.required("gv");
    // A number out of range is refused before the file is read; a name once its first line
    // is known.
    for (const char* option : {"dv", "gv"}) {
        const std::string& text = a.required(option);
        if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos) {
            ResolveVariable(text, {}, option);
        }
    }
    request.code1Text = a.required("group1");
    request.code2Text = a.required("group2");
    const char delimiter = ParseDelimiter(a);
    if (const std::string* t = a.value("trials")) {
        const auto trials = ParseUnsigned<std::uint32_t>(*t);
        if (!trials || *trials < 1 || *trials > static_cast<std::uint32_t>(kMaxTrials)) {
            throw UsageError{"--trials takes a whole number from 1 to 1000000"};
        }
        request.settings.trials = static_cast<std::int32_t>(*trials);
    }
    int levelPercent = 95;
    if (const std::string* l = a.value("level")) {
        if (*l == "90") {
            levelPercent = 90;
        } else if (*l == "95") {
            levelPercent = 95;
        } else if (*l == "99") {
            levelPercent = 99;
        } else {
            throw UsageError{"--level takes 90, 95 or 99"};
        }
    }
    request.settings.level = levelPercent == 90 ? 0.9f : levelPercent == 99 ? 0.99f : 0.95f;
    if (const std::string* g = a.value("variance-of")) {
        if (*g != "1" && *g != "2") throw UsageError{"--variance-of takes 1 or 2"};
        request.settings.chosenGroup = *g == "1" ? 1 : 2;
    }
    std::uint64_t seed = 0;
    if (const std::string* s = a.value("seed")) {
        const auto parsed = ParseUnsigned<std::uint64_t>(*s);
        if (!parsed) throw UsageError{"--seed takes a whole number from 0 to 18446744073709551615"};
        seed = *parsed;
    } else {
        // Kept below 2^53 so that any JSON reader holds the reported seed exactly.
        seed = UniformGenerator::ClockSeed() & ((std::uint64_t{1} << 53) - 1);
    }
    const bool json = ParseJsonFormat(a);
    RunOptions options;
    options.cancel = env.cancel;
    if (const std::string* t = a.value("threads")) {
        const auto threads = ParseUnsigned<std::uint32_t>(*t);
        if (!threads || *threads < 1 || *threads > kMaxThreads) {
            throw UsageError{"--threads takes a whole number from 1 to 1024"};
        }
        options.threads = *threads;
    }

    const std::string* distribution = a.value("distribution");
    if (distribution != nullptr && distribution->empty()) {
        throw UsageError{"--distribution needs a file name"};
    }
    std::error_code same;
    if (distribution != nullptr && std::filesystem::equivalent(*distribution, a.file, same)) {
        throw UsageError{"--distribution names the data file"};
    }

    const std::string shown = DisplayPath(a.file);
    const DataSet data = Import(a.file, shown, delimiter);
    request.dependent = ResolveVariable(dependentText, data.names(), "dv");
    request.grouping = ResolveVariable(groupingText, data.names(), "gv");
    request.names = data.names();
    for (const std::int32_t v : {request.dependent, request.grouping}) {
        if (v > data.variables()) throw UserError{msg::VariableNotInData(v, data.variables())};
    }

    UniformGenerator rng(seed);
    ProgressBar bar(err, env.errIsTerminal, env.progressDelaySeconds, request.settings.trials);
    auto outcome = RunEffectSizeAnalysis(
        data.matrix(), data.cases(), request, rng, [&bar](std::int32_t t) { bar.update(t); },
        options);
    bar.finish();
    if (!outcome && outcome.error().cancelled) throw Interrupted{};
    if (!outcome) throw UserError{outcome.error().message};

    const bool crlf = a.flag("crlf");
    const BootstrapResult& r = outcome->result;
    if (distribution != nullptr) {
        auto saved = SaveFileSafely(*distribution, WithLineEnds(TrialValuesCsv(r), crlf));
        if (!saved) {
            throw UserError{msg::DistributionNotSaved(*distribution, saved.error().reason,
                                                      saved.error().oldFileLost)};
        }
    }
    if (!json) return WithLineEnds(outcome->report, crlf);

    const BootstrapDistributions pictures =
        distribution != nullptr ? MakeBootstrapDistributions(request, r) : BootstrapDistributions{};
    const std::string doc =
        JsonObject(0)
            .add("command", JsonString("effect-size"))
            .add("file", JsonString(shown))
            .add("dependent", std::to_string(request.dependent))
            .addIf(!data.names().empty(), "dependent_name",
                   JsonName(data.names(), request.dependent))
            .add("grouping", std::to_string(request.grouping))
            .addIf(!data.names().empty(), "grouping_name", JsonName(data.names(), request.grouping))
            .add("group1_code", JsonNumber(static_cast<float>(*ParseGroupCode(request.code1Text))))
            .add("group2_code", JsonNumber(static_cast<float>(*ParseGroupCode(request.code2Text))))
            .add("trials", std::to_string(r.trials))
            .add("level", std::to_string(levelPercent))
            .add("variance_of", std::to_string(request.settings.chosenGroup))
            .add("seed", std::to_string(seed))
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
            .addIf(distribution != nullptr, "d_histogram", JsonHistogram(pictures.d, 2))
            .addIf(distribution != nullptr, "robust_d_histogram",
                   JsonHistogram(pictures.robustD, 2))
            .str() +
        "\n";
    return WithLineEnds(doc, crlf);
}

}  // namespace corvane::cli
