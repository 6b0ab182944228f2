#pragma once

#include <string>
#include <vector>

#include "cli/CliMain.h"

namespace corvane::cli {

// One exit status as the usage and the manual page explain it.
struct ExitStatus {
    int code;
    std::string usage;   // a few words for the usage's last paragraph
    std::string manual;  // the manual page's sentences
};

// Every exit status of the tool, ascending.
inline std::vector<ExitStatus> ExitStatuses() {
    return {{kExitOk, "done", "The result was printed on standard output."},
            {kExitUserError, "the program's message on standard error",
             "The program reported an error, such as an invalid entry in the data file or a group "
             "with a zero variance; its message is on standard error."},
            {kExitUsage, "usage error",
             "A usage error; a short reason and the usage are on standard error."},
            {kExitInterrupted, "interrupted (Ctrl-C) with nothing printed",
             "Interrupted by Ctrl-C (SIGINT) before the result was printed; nothing is on "
             "standard output."}};
}

}  // namespace corvane::cli
