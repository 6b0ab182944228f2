#pragma once

#include "cli/DataFileChoice.h"

namespace corvane::cli {

// An import command line, read and checked.
struct ImportCommandOptions {
    DataFileChoice data;
    bool crlf = false;
};

}  // namespace corvane::cli
