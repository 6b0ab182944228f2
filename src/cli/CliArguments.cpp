#include "cli/CliArguments.h"

#include "cli/CliMain.h"
#include "data/DataMatrix.h"

namespace corvane::cli {

namespace {

struct CommandOptions {
    std::set<std::string> valueOptions;
    std::set<std::string> flags;
};

const std::map<std::string, CommandOptions>& Commands() {
    static const std::map<std::string, CommandOptions> commands = {
        {"import", {{"delimiter"}, {"crlf"}}},
        {"effect-size",
         {{"dv", "gv", "group1", "group2", "delimiter", "trials", "level", "variance-of", "seed",
           "format", "threads", "distribution"},
          {"crlf"}}},
        {"descriptives", {{"vars", "delimiter", "format"}, {"crlf"}}},
    };
    return commands;
}

bool IsHelp(const std::string& arg) { return arg == "--help" || arg == "-h"; }

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

ParsedArgs ParseArgs(const std::vector<std::string>& args) {
    ParsedArgs parsed;
    if (args.empty()) throw UsageError{"no command given"};
    if (IsHelp(args[0]) || args[0] == "help") {
        parsed.help = true;
        return parsed;
    }
    const auto command = Commands().find(args[0]);
    if (command == Commands().end()) throw UsageError{"unknown command '" + args[0] + "'"};
    parsed.command = args[0];

    std::vector<std::string> positionals;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            positionals.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (IsHelp(arg)) {
            parsed.help = true;
            return parsed;
        }
        if (arg.compare(0, 2, "--") != 0) throw UsageError{"unknown option '" + arg + "'"};
        const std::size_t eq = arg.find('=');
        const std::string name =
            arg.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
        if (command->second.flags.count(name) != 0) {
            if (eq != std::string::npos) throw UsageError{"--" + name + " takes no value"};
            if (!parsed.flags.insert(name).second) throw UsageError{"--" + name + " given twice"};
            continue;
        }
        if (command->second.valueOptions.count(name) == 0) {
            throw UsageError{"unknown option '--" + name + "' for " + parsed.command};
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
    }
    if (positionals.empty()) throw UsageError{"no data file given"};
    if (positionals.size() > 1) throw UsageError{"more than one data file given"};
    if (positionals[0].empty()) throw UsageError{"the data file name is empty"};
    parsed.file = positionals[0];
    return parsed;
}

// A variable number, or nothing when the text is not one (it may still be a name).
std::optional<std::int32_t> VariableNumber(const std::string& text) {
    const auto v = ParseUnsigned<std::uint32_t>(text);
    if (!v || *v < 1 || *v > static_cast<std::uint32_t>(DataMatrix::kMaxVariables)) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(*v);
}

std::int32_t ResolveVariable(const std::string& text, const std::vector<std::string>& names,
                             const std::string& option) {
    if (const auto v = VariableNumber(text)) return *v;
    if (names.empty()) {
        throw UsageError{"--" + option + " takes a variable number from 1 to 1000"};
    }
    const auto v = VariableByName(text, names);
    if (v == 0) {
        throw UsageError{"--" + option +
                         " takes a variable number from 1 to 1000 or a name from the file's "
                         "first line"};
    }
    if (v < 0) throw UsageError{"--" + option + ": more than one variable is named " + text};
    return v;
}

char ParseDelimiter(const ParsedArgs& a) {
    const std::string* v = a.value("delimiter");
    if (v == nullptr || *v == "space") return ' ';
    if (*v == "comma") return ',';
    if (*v == "tab") return '\t';
    throw UsageError{"--delimiter takes space, comma or tab"};
}

bool ParseJsonFormat(const ParsedArgs& a) {
    const std::string* v = a.value("format");
    if (v == nullptr || *v == "text") return false;
    if (*v == "json") return true;
    throw UsageError{"--format takes text or json"};
}

std::string UsageText() {
    return "Usage:\n"
           "  corvane-cli import FILE [--delimiter space|comma|tab] [--crlf]\n"
           "  corvane-cli effect-size FILE --dv N --gv N --group1 CODE --group2 CODE\n"
           "       [--delimiter space|comma|tab] [--trials T] [--level 90|95|99]\n"
           "       [--variance-of 1|2] [--seed S] [--threads N] [--format text|json] [--crlf]\n"
           "       [--distribution CSV]\n"
           "  corvane-cli descriptives FILE --vars LIST [--delimiter space|comma|tab]\n"
           "       [--format text|json] [--crlf]\n"
           "  corvane-cli --help\n"
           "\n"
           "Defaults: --delimiter space, --trials 600 (1 to 1000000), --level 95,\n"
           "--variance-of 1, --format text, --seed from the clock, --threads one per core.\n"
           "LIST is such as 1,3-5. --distribution writes every trial's d and robust d to CSV\n"
           "(trial,d,robust_d; empty for an undefined value); with --format json the\n"
           "histograms' bins are in the output too.\n"
           "Exit status: 0 done, 1 the program's message on standard error, 2 usage error,\n"
           "130 interrupted (Ctrl-C) with nothing printed.\n";
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
