#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/CliArguments.h"
#include "cli/CliCommand.h"
#include "cli/CliMain.h"

// The commands of corvane-cli. A command is a run function in a file of its own and one row of
// the table, which names the options it takes.
namespace corvane::cli {

// Every command the tool knows.
const std::vector<CliCommand>& Commands();

std::string RunImport(const ParsedArgs& a, std::ostream& err, const CliEnvironment& env);
std::string RunEffectSize(const ParsedArgs& a, std::ostream& err, const CliEnvironment& env);
std::string RunDescriptives(const ParsedArgs& a, std::ostream& err, const CliEnvironment& env);

}  // namespace corvane::cli
