#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/CliArguments.h"
#include "cli/CliCommand.h"
#include "cli/CliMain.h"
#include "cli/DescriptivesOptions.h"
#include "cli/EffectSizeOptions.h"
#include "cli/ImportCommandOptions.h"

// The commands of corvane-cli. A command is its values (XOptions.h), its declaration with the
// options it takes and their checks (XOptions.cpp), its run (XCommand.cpp) and one entry in
// Commands().
namespace corvane::cli {

// Every command the tool knows, in the order the usage lists them.
const std::vector<CliCommand>& Commands();

CliCommand ImportCommand();
CliCommand EffectSizeCommand();
CliCommand DescriptivesCommand();

std::string RunImport(ImportCommandOptions options, std::ostream& err, const CliEnvironment& env);
std::string RunEffectSize(EffectSizeOptions options, std::ostream& err, const CliEnvironment& env);
std::string RunDescriptives(DescriptivesOptions options, std::ostream& err,
                            const CliEnvironment& env);

}  // namespace corvane::cli
