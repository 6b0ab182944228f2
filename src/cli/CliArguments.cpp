#include "cli/CliArguments.h"

#include <algorithm>
#include <set>

#include "data/DataMatrix.h"

namespace corvane::cli {

namespace {

bool IsHelp(const std::string& arg) { return arg == "--help" || arg == "-h"; }

// Reads the option at args[i] (--name, --name=VALUE or --name VALUE) into `parsed`; returns the
// index of the last argument it used.
std::size_t ReadOption(const std::vector<std::string>& args, std::size_t i, ParsedArgs& parsed) {
    const std::string& arg = args[i];
    if (arg.compare(0, 2, "--") != 0) throw UsageError{"unknown option '" + arg + "'"};
    const std::size_t eq = arg.find('=');
    const std::string name = arg.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
    const CliCommand& command = *parsed.command;
    const CliOption* option = command.option(name);
    if (option != nullptr && option->isFlag()) {
        if (eq != std::string::npos) throw UsageError{"--" + name + " takes no value"};
        if (!parsed.given.emplace(name, "").second) throw UsageError{"--" + name + " given twice"};
        return i;
    }
    if (option == nullptr) throw UsageError{"unknown option '--" + name + "' for " + command.name};
    std::string value;
    if (eq != std::string::npos) {
        value = arg.substr(eq + 1);
    } else if (i + 1 < args.size()) {
        value = args[++i];  // taken as it is, so a code such as -1 is a value
    } else {
        throw UsageError{"--" + name + " needs a value"};
    }
    if (!parsed.given.emplace(name, value).second) {
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
    const auto it = given.find(name);
    return it == given.end() ? nullptr : &it->second;
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

std::string CheckVariableText(const std::string& text, const std::string& option) {
    if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos) {
        ResolveVariable(text, {}, option);
    }
    return text;
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
