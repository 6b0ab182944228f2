#pragma once

#include "cli/DataFileChoice.h"

namespace corvane::cli {

// An import command line, read and checked.
struct ImportOptions {
    DataFileChoice data;
    bool crlf = false;
};

}  // namespace corvane::cli
