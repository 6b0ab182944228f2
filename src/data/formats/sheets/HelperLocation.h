#pragma once

#include <string>
#include <string_view>

namespace corvane {

// Where the program's helper programs are: libexec/corvane beside the folder of the running
// program, in the install tree (/usr/bin/corvane and /usr/libexec/corvane/NAME) as in the build
// tree (build/default/src/cli/corvane-cli and build/default/libexec/corvane/NAME). Found from the
// running program's own path (/proc/self/exe), never from the environment: first the libexec
// folder the build was configured to install into, taken relative to its bin folder, then the
// first folder above the running program's that holds libexec/corvane/NAME. The path of the
// first that is an executable file; the configured place when there is none, so the failure to
// start it names where it belongs.
std::string HelperProgramPath(std::string_view name);

}  // namespace corvane
