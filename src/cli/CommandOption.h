#pragma once

#include <string>

#include "cli/CliOption.h"

namespace corvane::cli {

// One option of a command whose command line is read into `Values`: what the help says about it,
// and the check that stores its value.
template <class Values>
struct CommandOption {
    CliOption about;
    // Checks the option's text (null when it was not given), stores the value or the default in
    // `values`, and throws UsageError naming what the option takes when the text is wrong.
    void (*read)(const std::string* text, Values& values);
};

}  // namespace corvane::cli
