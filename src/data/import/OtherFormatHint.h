#pragma once

#include <string>

#include "data/ImportError.h"
#include "data/formats/FormatRegistry.h"

namespace corvane {

// What to add to the message of a file the chosen delimiter could not read when detection would
// read it: " The file looks like a spreadsheet workbook: import it with File > Import Data
// File..., which detects its format." for another format (the row's looksLike), or the same
// naming the text's dialect when that is semicolons, pipes, decimal commas or notes above the
// table. Empty otherwise.
std::string OtherFormatHint(const ImportError& e, const std::string& path,
                            const FormatRegistry& formats = FormatRegistry::Builtin());

}  // namespace corvane
