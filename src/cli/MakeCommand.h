#pragma once

#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

#include "cli/CliArguments.h"
#include "cli/CliCommand.h"
#include "cli/CommandOption.h"

namespace corvane::cli {

struct CliEnvironment;

// Reads a command line into the command's values, once: a missing required option is named
// first, then each option's check runs in the order the usage lists the options.
template <class Values>
Values ReadValues(const ParsedArgs& args, const std::vector<CommandOption<Values>>& options) {
    for (const auto& option : options) {
        if (option.about.required && args.value(option.about.name) == nullptr) {
            throw UsageError{"missing --" + option.about.name};
        }
    }
    Values values;
    values.data.file = args.file;  // before the checks: one compares a name with it
    for (const auto& option : options) option.read(args.value(option.about.name), values);
    return values;
}

// A command from its declaration: `about` with its name, summary and examples, its options in
// the order of the usage, and the run that gets their values.
template <class Values>
CliCommand MakeCommand(CliCommand about, std::vector<CommandOption<Values>> options,
                       std::string (*run)(Values values, std::ostream& err,
                                          const CliEnvironment& env)) {
    for (const auto& option : options) about.options.push_back(option.about);
    about.run = [options = std::move(options), run](const ParsedArgs& args, std::ostream& err,
                                                    const CliEnvironment& env) {
        return run(ReadValues(args, options), err, env);
    };
    return about;
}

}  // namespace corvane::cli
