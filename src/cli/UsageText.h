#pragma once

#include <string>
#include <vector>

#include "cli/CliCommand.h"

// The usage printed for --help and after a usage error, made from the commands' declarations.
namespace corvane::cli {

std::string UsageText(const std::vector<CliCommand>& commands);

// The paragraph on the data file's formats and sheets: what D and S of the usage take.
std::string FormatsParagraph();

// One command's usage line as its pieces: "corvane-cli NAME FILE", then each option as the line
// shows it ("--dv N", "[--trials T]", "[--crlf]").
std::vector<std::string> SynopsisPieces(const CliCommand& command);

// The pieces joined by spaces in lines of at most 80 columns, each ended by a line end; lines
// after the first begin with `indent`. A piece is never split.
std::string Wrapped(const std::vector<std::string>& pieces, const std::string& indent = "");

// Prose as pieces for Wrapped: its words.
std::vector<std::string> Words(const std::string& prose);

}  // namespace corvane::cli
