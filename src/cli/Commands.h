#pragma once

#include <iosfwd>
#include <string>

#include "cli/CliArguments.h"
#include "cli/CliMain.h"
#include "data/DataSet.h"

// The commands of corvane-cli. Each returns the text for standard output and throws UsageError
// or UserError when it cannot run.
namespace corvane::cli {

std::string RunImport(const ParsedArgs& a);
std::string RunEffectSize(const ParsedArgs& a, std::ostream& err, const CliEnvironment& env);
std::string RunDescriptives(const ParsedArgs& a);

// What the commands share.

// The file's name as the desktop program shows it: a full path.
std::string DisplayPath(const std::string& file);
// The data file, or a UserError with the import's message naming `shownPath`.
DataSet Import(const std::string& file, const std::string& shownPath, char delimiter);
// Text for standard output: LF line ends unless CR LF were asked for.
std::string WithLineEnds(const std::string& text, bool crlf);

}  // namespace corvane::cli
