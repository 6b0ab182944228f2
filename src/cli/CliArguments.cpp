#include "cli/CliArguments.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "analysis/BootstrapChoices.h"
#include "common/UniformGenerator.h"
#include "data/DataMatrix.h"
#include "data/formats/FormatsHelpText.h"

namespace corvane::cli {

namespace {

constexpr std::uint32_t kMaxTrials = 1000000;
constexpr std::uint32_t kMaxThreads = 1024;

bool IsHelp(const std::string& arg) { return arg == "--help" || arg == "-h"; }

// Reads the option at args[i] (--name, --name=VALUE or --name VALUE) into `parsed`; returns the
// index of the last argument it used.
std::size_t ReadOption(const std::vector<std::string>& args, std::size_t i, ParsedArgs& parsed) {
    const std::string& arg = args[i];
    if (arg.compare(0, 2, "--") != 0) throw UsageError{"unknown option '" + arg + "'"};
    const std::size_t eq = arg.find('=');
    const std::string name = arg.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
    const CliCommand& command = *parsed.command;
    if (command.flags.count(name) != 0) {
        if (eq != std::string::npos) throw UsageError{"--" + name + " takes no value"};
        if (!parsed.flags.insert(name).second) throw UsageError{"--" + name + " given twice"};
        return i;
    }
    if (command.valueOptions.count(name) == 0) {
        throw UsageError{"unknown option '--" + name + "' for " + command.name};
    }
    std::string value;
    if (eq != std::string::npos) {
        value = arg.substr(eq + 1);
    } else if (i + 1 < args.size()) {
        value = args[++i];  // taken as it is, so a code such as -1 is a value
    } else {
        throw UsageError{"--" + name + " needs a value"};
    }
    if (!parsed.values.emplace(name, value).second) {
        throw UsageError{"--" + name + " given twice"};
    }
    return i;
}

const std::string& TheDataFile(const std::vector<std::string>& positionals) {
    if (positionals.empty()) throw UsageError{"no data file given"};
    if (positionals.size() > 1) throw UsageError{"more than one data file given"};
    if (positionals[0].empty()) throw UsageError{"the data file name is empty"};
    return positionals[0];
}

// A whole number in [low, high] for `option`, or nothing when it was not given.
std::optional<std::uint32_t> Bounded(const ParsedArgs& a, const std::string& option,
                                     std::uint32_t low, std::uint32_t high,
                                     const std::string& reason) {
    const std::string* text = a.value(option);
    if (text == nullptr) return std::nullopt;
    const auto n = ParseUnsigned<std::uint32_t>(*text);
    if (!n || *n < low || *n > high) throw UsageError{reason};
    return n;
}

// A variable number, or nothing when the text is not one (it may still be a name).
std::optional<std::int32_t> VariableNumber(const std::string& text) {
    const auto v = ParseUnsigned<std::uint32_t>(text);
    if (!v || *v < 1 || *v > static_cast<std::uint32_t>(DataMatrix::kMaxVariables)) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(*v);
}

}  // namespace

const std::string* ParsedArgs::value(const std::string& name) const {
    const auto it = values.find(name);
    return it == values.end() ? nullptr : &it->second;
}

const std::string& ParsedArgs::required(const std::string& name) const {
    const std::string* v = value(name);
    if (v == nullptr) throw UsageError{"missing --" + name};
    return *v;
}

ParsedArgs ParseArgs(const std::vector<std::string>& args,
                     const std::vector<CliCommand>& commands) {
    ParsedArgs parsed;
    if (args.empty()) throw UsageError{"no command given"};
    if (IsHelp(args[0]) || args[0] == "help") {
        parsed.help = true;
        return parsed;
    }
    const auto command = std::find_if(commands.begin(), commands.end(),
                                      [&](const CliCommand& c) { return c.name == args[0]; });
    if (command == commands.end()) throw UsageError{"unknown command '" + args[0] + "'"};
    parsed.command = &*command;

    std::vector<std::string> positionals;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            positionals.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (IsHelp(arg)) {
            parsed.help = true;
            return parsed;
        } else {
            i = ReadOption(args, i, parsed);
        }
    }
    parsed.file = TheDataFile(positionals);
    return parsed;
}

std::string UsageText() {
    return "Usage:\n"
           "  corvane-cli import FILE [--delimiter D] [--sheet S] [--crlf]\n"
           "  corvane-cli effect-size FILE --dv N --gv N --group1 CODE --group2 CODE\n"
           "       [--delimiter D] [--sheet S] [--trials T] [--level 90|95|99]\n"
           "       [--variance-of 1|2] [--seed S] [--threads N]\n"
           "       [--format text|json|sentence] [--crlf] [--distribution CSV]\n"
           "  corvane-cli descriptives FILE --vars LIST [--delimiter D] [--sheet S]\n"
           "       [--format text|json] [--crlf]\n"
           "  corvane-cli --help\n"
           "\n" +
           FormatsHelpText(FormatRegistry::Builtin()) +
           "Defaults: --delimiter auto, --trials 600 (1 to 1000000), --level 95,\n"
           "--variance-of 1, --format text, --seed from the clock, --threads one per core.\n"
           "LIST is such as 1,3-5. --distribution writes every trial's d and robust d to CSV\n"
           "(trial,d,robust_d; empty for an undefined value); with --format json the\n"
           "histograms' bins are in the output too. --format sentence prints the result as\n"
           "one sentence for a manuscript.\n"
           "Exit status: 0 done, 1 the program's message on standard error, 2 usage error,\n"
           "130 interrupted (Ctrl-C) with nothing printed.\n";
}

char ParseDelimiter(const ParsedArgs& a) {
    const std::string* v = a.value("delimiter");
    if (v == nullptr || *v == "auto") return kDetectFormat;
    if (*v == "space") return ' ';
    if (*v == "comma") return ',';
    if (*v == "tab") return '\t';
    if (*v == "semicolon") return ';';
    throw UsageError{"--delimiter takes auto, space, comma, tab or semicolon"};
}

SheetChoice ParseSheet(const ParsedArgs& a) {
    SheetChoice sheet;
    const std::string* v = a.value("sheet");
    if (v == nullptr) return sheet;
    if (v->empty()) throw UsageError{"--sheet takes a sheet's name or its number from 1"};
    // Digits pick a sheet by its place; anything else by its name.
    if (v->find_first_not_of("0123456789") == std::string::npos) {
        const auto n = ParseUnsigned<std::uint32_t>(*v);
        if (!n || *n < 1 || *n > 100000)
            throw UsageError{"--sheet takes a sheet's name or its number from 1"};
        sheet.number = static_cast<std::int32_t>(*n);
    } else {
        sheet.name = *v;
    }
    return sheet;
}

bool ParseJsonFormat(const ParsedArgs& a) {
    const std::string* v = a.value("format");
    if (v == nullptr || *v == "text") return false;
    if (*v == "json") return true;
    throw UsageError{"--format takes text or json"};
}

EffectSizeFormat ParseEffectSizeFormat(const ParsedArgs& a) {
    const std::string* v = a.value("format");
    if (v == nullptr || *v == "text") return EffectSizeFormat::Text;
    if (*v == "json") return EffectSizeFormat::Json;
    if (*v == "sentence") return EffectSizeFormat::Sentence;
    throw UsageError{"--format takes text, json or sentence"};
}

std::optional<std::int32_t> ParseTrials(const ParsedArgs& a) {
    const auto trials =
        Bounded(a, "trials", 1, kMaxTrials, "--trials takes a whole number from 1 to 1000000");
    if (!trials) return std::nullopt;
    return static_cast<std::int32_t>(*trials);
}

int ParseLevelPercent(const ParsedArgs& a) {
    const std::string* text = a.value("level");
    if (text == nullptr) return 95;
    for (const int percent : kLevelPercents) {
        if (*text == std::to_string(percent)) return percent;
    }
    throw UsageError{"--level takes 90, 95 or 99"};
}

std::optional<int> ParseVarianceOf(const ParsedArgs& a) {
    const std::string* g = a.value("variance-of");
    if (g == nullptr) return std::nullopt;
    if (*g != "1" && *g != "2") throw UsageError{"--variance-of takes 1 or 2"};
    return *g == "1" ? 1 : 2;
}

std::uint64_t ParseSeed(const ParsedArgs& a) {
    const std::string* s = a.value("seed");
    if (s == nullptr) return UniformGenerator::ClockSeed() & ((std::uint64_t{1} << 53) - 1);
    const auto seed = ParseUnsigned<std::uint64_t>(*s);
    if (!seed) throw UsageError{"--seed takes a whole number from 0 to 18446744073709551615"};
    return *seed;
}

std::optional<unsigned> ParseThreads(const ParsedArgs& a) {
    return Bounded(a, "threads", 1, kMaxThreads, "--threads takes a whole number from 1 to 1024");
}

const std::string* ParseDistribution(const ParsedArgs& a) {
    const std::string* csv = a.value("distribution");
    if (csv == nullptr) return nullptr;
    if (csv->empty()) throw UsageError{"--distribution needs a file name"};
    std::error_code same;
    if (std::filesystem::equivalent(*csv, a.file, same)) {
        throw UsageError{"--distribution names the data file"};
    }
    return csv;
}

std::vector<std::string> VariableOptions(const ParsedArgs& a,
                                         const std::vector<std::string>& options) {
    std::vector<std::string> texts;
    for (const std::string& option : options) texts.push_back(a.required(option));
    for (std::size_t i = 0; i < options.size(); ++i) {
        const std::string& text = texts[i];
        if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos) {
            ResolveVariable(text, {}, options[i]);
        }
    }
    return texts;
}

std::int32_t ResolveVariable(const std::string& text, const std::vector<std::string>& names,
                             const std::string& option) {
    if (const auto v = VariableNumber(text)) return *v;
    if (names.empty()) {
        throw UsageError{"--" + option + " takes a variable number from 1 to 100000"};
    }
    const auto v = VariableByName(text, names);
    if (v == 0) {
        throw UsageError{"--" + option +
                         " takes a variable number from 1 to 100000 or a name from the file's "
                         "first line"};
    }
    if (v < 0) throw UsageError{"--" + option + ": more than one variable is named " + text};
    return v;
}

std::vector<std::int32_t> ResolveVariableList(const std::string& text,
                                              const std::vector<std::string>& names) {
    // A list of numbers means the numbers even where a name reads the same.
    auto variables = ParseVariableList(text);
    if (!variables && !names.empty()) variables = ParseVariableList(text, names);
    if (variables) return *std::move(variables);
    throw UsageError{names.empty() ? "--vars takes variable numbers from 1 to 100000, such as 1,3-5"
                                   : "--vars takes variable numbers from 1 to 100000 or names from "
                                     "the file's first line, such as 1,3-5 or group,score"};
}

std::int32_t VariableByName(const std::string& name, const std::vector<std::string>& names) {
    std::int32_t found = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (name.empty() || names[i] != name) continue;
        if (found != 0) return -1;
        found = static_cast<std::int32_t>(i + 1);
    }
    return found;
}

std::optional<std::vector<std::int32_t>> ParseVariableList(const std::string& text,
                                                           const std::vector<std::string>& names) {
    std::set<std::int32_t> chosen;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        const std::string item =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (const std::int32_t named = VariableByName(item, names); named > 0) {
            chosen.insert(named);
            if (comma == std::string::npos) break;
            start = comma + 1;
            continue;
        }
        const std::size_t dash = item.find('-');
        const auto first = ParseUnsigned<std::uint32_t>(item.substr(0, dash));
        const auto last =
            dash == std::string::npos ? first : ParseUnsigned<std::uint32_t>(item.substr(dash + 1));
        if (!first || !last || *first < 1 || *last < *first ||
            *last > static_cast<std::uint32_t>(DataMatrix::kMaxVariables)) {
            return std::nullopt;
        }
        for (std::uint32_t v = *first; v <= *last; ++v) chosen.insert(static_cast<std::int32_t>(v));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return std::vector<std::int32_t>(chosen.begin(), chosen.end());
}

}  // namespace corvane::cli
