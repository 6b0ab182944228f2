#pragma once

#include <string>

#include "cli/CliArguments.h"
#include "data/DataSet.h"

// What the commands share.
namespace corvane::cli {

// The file's name as the desktop program shows it: a full path.
std::string DisplayPath(const std::string& file);
// The data file, or a UserError with the import's message naming `shownPath`.
DataSet Import(const std::string& file, const std::string& shownPath, const ParsedArgs& a);
// Text for standard output: LF line ends unless CR LF were asked for.
std::string WithLineEnds(const std::string& text, bool crlf);

}  // namespace corvane::cli
