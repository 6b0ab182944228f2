#pragma once

#include <cstdint>
#include <iosfwd>
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

}  // namespace corvane::cli
