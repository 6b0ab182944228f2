#include "cli/EffectSizeOptions.h"

#include <filesystem>
#include <system_error>

#include "analysis/BootstrapChoices.h"
#include "cli/CliArguments.h"
#include "cli/Commands.h"
#include "cli/CommonOptions.h"
#include "cli/MakeCommand.h"
#include "common/UniformGenerator.h"

namespace corvane::cli {

namespace {

using Option = CommandOption<EffectSizeOptions>;

constexpr std::uint32_t kMaxTrials = 1000000;
constexpr std::uint32_t kMaxThreads = 1024;
const BootstrapSettings kDefaults;

Option Dv() {
    return {{.name = "dv",
             .placeholder = "N",
             .required = true,
             .help = "The dependent variable: its number from 1 (Var N), or its name where the "
                     "file's first line names the variables. The same column may be both the "
                     "dependent and the grouping variable."},
            [](const std::string* text, EffectSizeOptions& o) {
                o.dependentText = CheckVariableText(*text, "dv");
            }};
}

Option Gv() {
    return {{.name = "gv",
             .placeholder = "N",
             .required = true,
             .help = "The grouping variable, by number or by name as for --dv."},
            [](const std::string* text, EffectSizeOptions& o) {
                o.groupingText = CheckVariableText(*text, "gv");
            }};
}

Option Group1() {
    return {{.name = "group1",
             .placeholder = "CODE",
             .required = true,
             .help = "The code of the first group in the grouping variable: a number such as 1, "
                     "-1.5, 1E3 or &H1F, or the group's label or text where the variable has "
                     "them (such as control)."},
            [](const std::string* text, EffectSizeOptions& o) { o.request.code1Text = *text; }};
}

Option Group2() {
    return {{.name = "group2",
             .placeholder = "CODE",
             .required = true,
             .help = "The code of the second group, as for --group1."},
            [](const std::string* text, EffectSizeOptions& o) { o.request.code2Text = *text; }};
}

Option Trials() {
    return {{.name = "trials",
             .placeholder = "T",
             .defaultText =
                 std::to_string(kDefaults.trials) + " (1 to " + std::to_string(kMaxTrials) + ")",
             .help = "The number of bootstrap trials, a whole number."},
            [](const std::string* text, EffectSizeOptions& o) {
                const auto trials = ReadBounded(text, 1, kMaxTrials,
                                                "--trials takes a whole number from 1 to 1000000");
                if (trials) o.request.settings.trials = static_cast<std::int32_t>(*trials);
            }};
}

Option Level() {
    return {{.name = "level",
             .placeholder = "90|95|99",
             .defaultText = std::to_string(LevelPercent(kDefaults.level)),
             .help = "The confidence level of both intervals, in percent."},
            [](const std::string* text, EffectSizeOptions& o) {
                if (text == nullptr) return;
                for (const int percent : kLevelPercents) {
                    if (*text != std::to_string(percent)) continue;
                    o.request.settings.level = *ConfidenceLevel(percent);
                    return;
                }
                throw UsageError{"--level takes 90, 95 or 99"};
            }};
}

Option Interval() {
    return {{.name = "interval",
             .placeholder = "percentile|bca",
             .defaultText = IntervalMethodKey(kDefaults.method),
             .help = "How both intervals are read from the trials: percentile, or bca (bias-"
                     "corrected and accelerated: the percentile positions moved by the share of "
                     "trials below the observed value and by the acceleration from the jackknife "
                     "of both groups). Where BCa cannot be read for an estimate (its observed "
                     "value undefined, every valid trial on one side of it, or its jackknife "
                     "undefined) the report shows its percentile interval and a line saying so. "
                     "The JSON names a method other than percentile (interval_method, and the "
                     "method of each interval)."},
            [](const std::string* text, EffectSizeOptions& o) {
                if (text == nullptr) return;
                for (const IntervalMethod m : {IntervalMethod::Percentile, IntervalMethod::BCa}) {
                    if (*text != IntervalMethodKey(m)) continue;
                    o.request.settings.method = m;
                    return;
                }
                throw UsageError{"--interval takes percentile or bca"};
            }};
}

Option VarianceOf() {
    return {{.name = "variance-of",
             .placeholder = "1|2",
             .defaultText = std::to_string(kDefaults.chosenGroup),
             .help = "The group whose variance standardizes both effect sizes."},
            [](const std::string* text, EffectSizeOptions& o) {
                if (text == nullptr) return;
                if (*text != "1" && *text != "2") throw UsageError{"--variance-of takes 1 or 2"};
                o.request.settings.chosenGroup = *text == "1" ? 1 : 2;
            }};
}

Option Seed() {
    return {{.name = "seed",
             .placeholder = "S",
             .defaultText = "from the clock",
             .help = "The seed of the random generator, a whole number from 0 to "
                     "18446744073709551615 (2^64 - 1). The same seed, data and options give the "
                     "same report. A seed from the clock is below 2^53, so that any JSON reader "
                     "holds it exactly; the report's line \"Bootstrap seed =\" names the seed "
                     "either way, so that the run can be repeated."},
            [](const std::string* text, EffectSizeOptions& o) {
                if (text == nullptr) {
                    o.seed = UniformGenerator::ClockSeed() & ((std::uint64_t{1} << 53) - 1);
                    return;
                }
                const auto seed = ParseUnsigned<std::uint64_t>(*text);
                if (!seed) {
                    throw UsageError{"--seed takes a whole number from 0 to 18446744073709551615"};
                }
                o.seed = *seed;
            }};
}

Option Threads() {
    return {{.name = "threads",
             .placeholder = "N",
             .defaultText = "one per core",
             .help = "The number of threads the bootstrap runs on, a whole number from 1 to 1024. "
                     "The report is the same for every number of threads."},
            [](const std::string* text, EffectSizeOptions& o) {
                const auto threads = ReadBounded(text, 1, kMaxThreads,
                                                 "--threads takes a whole number from 1 to 1024");
                if (threads) o.run.threads = *threads;
            }};
}

Option Format() {
    return {{.name = "format",
             .placeholder = "text|json|sentence",
             .defaultText = "text",
             .note = "--format sentence prints the result as one sentence for a manuscript.",
             .help = "The report as text, as one JSON object with the unrounded values, or as "
                     "one sentence for a manuscript (UTF-8): the variables and groups, the group "
                     "sizes, d and robust d to two decimals with their intervals, the "
                     "standardizing group, the number of resamples and the seed."},
            [](const std::string* text, EffectSizeOptions& o) {
                if (text == nullptr || *text == "text") return;
                if (*text == "json") {
                    o.format = EffectSizeFormat::Json;
                } else if (*text == "sentence") {
                    o.format = EffectSizeFormat::Sentence;
                } else {
                    throw UsageError{"--format takes text, json or sentence"};
                }
            }};
}

Option Distribution() {
    return {{.name = "distribution",
             .placeholder = "CSV",
             .note = "--distribution writes every trial's d and robust d to CSV (trial,d,robust_d; "
                     "empty for an undefined value); with --format json the histograms' bins are "
                     "in the output too.",
             .help = "Writes every attempted bootstrap trial's d and robust d to the file CSV as "
                     "the lines trial,d,robust_d, one per trial in trial order, with an empty "
                     "field for an undefined value. The file is written to a temporary name and "
                     "renamed over any file already there, so a failed write leaves that file as "
                     "it was; it may not be the data file. With --format json the output also "
                     "holds the bins of both histograms (d_histogram, robust_d_histogram)."},
            [](const std::string* text, EffectSizeOptions& o) {
                if (text == nullptr) return;
                if (text->empty()) throw UsageError{"--distribution needs a file name"};
                std::error_code same;
                if (std::filesystem::equivalent(*text, o.data.file, same)) {
                    throw UsageError{"--distribution names the data file"};
                }
                o.distribution = *text;
            }};
}

}  // namespace

CliCommand EffectSizeCommand() {
    using V = EffectSizeOptions;
    return MakeCommand<V>(
        {.name = "effect-size",
         .summary = "prints the group statistics of two groups of the dependent variable and the "
                    "effect-size report: Cohen's d standardized by the standard deviation of one "
                    "group, and a robust d from 20% trimmed means and that group's 20% "
                    "Winsorized variance, each with a bootstrap confidence interval (percentile, "
                    "or bias-corrected and accelerated on request).",
         .examples = {"data.txt --dv 2 --gv 1 --group1 1 --group2 2 --trials 2000 --seed 2026",
                      "data.csv --dv score --gv group --group1 control --group2 treatment "
                      "--format sentence"}},
        {Dv(), Gv(), Group1(), Group2(), DelimiterOption<V>(), SheetOption<V>(), Trials(), Level(),
         Interval(), VarianceOf(), Seed(), Threads(), Format(), CrlfOption<V>(), Distribution()},
        RunEffectSize);
}

}  // namespace corvane::cli
