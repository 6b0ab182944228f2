#pragma once

#include <string>

#include "cli/DataFileChoice.h"

namespace corvane::cli {

// A descriptives command line, read and checked before the data file is.
struct DescriptivesOptions {
    DataFileChoice data;
    std::string variablesText;  // numbers, ranges or names, resolved once the file is read
    bool json = false;
    bool crlf = false;
};

}  // namespace corvane::cli
