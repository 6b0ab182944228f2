#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "analysis/Bootstrap.h"

namespace corvane::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitUserError = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130;  // stopped by Ctrl-C, nothing printed

struct CliEnvironment {
    bool errIsTerminal = false;         // draw the bootstrap progress bar on `err`
    double progressDelaySeconds = 0.5;  // a bootstrap shorter than this shows no bar
    // Set when the user interrupts: a bootstrap stops, and the command prints nothing.
    const corvane::CancelToken* cancel = nullptr;
};

// Runs one command of corvane-cli. `args` excludes the program name. The report goes to `out`,
// messages, usage and progress to `err`. Returns the process exit code.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const CliEnvironment& environment);

// The same, drawing the progress bar when `err` is the process's standard error and that is a
// terminal.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Variable numbers and ranges such as 1,3-5 (every number 1..1000), ascending, each once; with the
// names of the file's first line an item may also be a name. Nothing when the text is not such a
// list.
std::optional<std::vector<std::int32_t>> ParseVariableList(
    const std::string& text, const std::vector<std::string>& names = {});

// The variable (from 1) of that name; 0 when none has it, -1 when more than one has.
std::int32_t VariableByName(const std::string& name, const std::vector<std::string>& names);

// The usage text printed for --help and after a usage error.
std::string UsageText();

}  // namespace corvane::cli
