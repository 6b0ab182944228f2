#pragma once

#include <iosfwd>
#include <set>
#include <string>

namespace corvane::cli {

struct CliEnvironment;
struct ParsedArgs;

// One command of corvane-cli: the options its command line may carry and what it does. The
// command line is checked against `valueOptions` and `flags` before `run` is called.
struct CliCommand {
    std::string name;
    std::set<std::string> valueOptions;  // --name VALUE or --name=VALUE
    std::set<std::string> flags;         // --name alone
    // Returns the text for standard output; throws UsageError, UserError or Interrupted when
    // it cannot run. `err` is for the progress bar only.
    std::string (*run)(const ParsedArgs& args, std::ostream& err, const CliEnvironment& env);
};

}  // namespace corvane::cli
