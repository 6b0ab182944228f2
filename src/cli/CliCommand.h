#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/CliOption.h"

namespace corvane::cli {

struct CliEnvironment;
struct ParsedArgs;

// One command of corvane-cli as the tool sees it: what the help says and how it runs. MakeCommand
// builds it from the command's typed declaration.
struct CliCommand {
    std::string name{};
    std::string summary{};                // the manual page's paragraph on what it does
    std::vector<std::string> examples{};  // command lines after the command's name
    std::vector<CliOption> options{};     // in the order the usage lists them
    // Reads the options into the command's values, then runs it. Returns the text for standard
    // output; throws UsageError, UserError or Interrupted when it cannot run. `err` is for the
    // progress bar only.
    std::function<std::string(const ParsedArgs& args, std::ostream& err, const CliEnvironment& env)>
        run{};

    // The option of that name; null when the command takes none.
    const CliOption* option(const std::string& optionName) const {
        for (const CliOption& o : options) {
            if (o.name == optionName) return &o;
        }
        return nullptr;
    }
};

}  // namespace corvane::cli
