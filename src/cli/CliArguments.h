#pragma once

#include <charconv>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cli/CliCommand.h"

// The command line's shape, its errors, and the variables it names.
namespace corvane::cli {

// A usage error: the reason, printed before the usage text.
struct UsageError {
    std::string reason;
};

// The user interrupted the command: nothing is printed.
struct Interrupted {};

// A user error: the program's own message, printed alone.
struct UserError {
    std::string message;
};

// One command line, checked against the options its command takes.
struct ParsedArgs {
    const CliCommand* command = nullptr;  // none when only help was asked for
    std::string file;
    std::map<std::string, std::string> given;  // each option given, by name; a flag's text is ""
    bool help = false;

    // The option's text; null when it was not given.
    const std::string* value(const std::string& name) const;
};

// Finds the command among `commands` and reads its options; throws UsageError when the line is
// not a command the tool knows.
ParsedArgs ParseArgs(const std::vector<std::string>& args, const std::vector<CliCommand>& commands);

// A whole decimal number with nothing around it.
template <class T>
std::optional<T> ParseUnsigned(const std::string& text) {
    T value{};
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

// The text of a variable option (such as dv): one given as a number out of 1..100000 is refused
// now, before the file is read; a name once the file's first line is known.
std::string CheckVariableText(const std::string& text, const std::string& option);
// A variable given by number (1..100000), or by a name of the file's first line once the file is
// read; a usage error otherwise. `option` names the option in the message.
std::int32_t ResolveVariable(const std::string& text, const std::vector<std::string>& names,
                             const std::string& option);
// --vars once the file's names are known: numbers and ranges, or names where the file has them.
std::vector<std::int32_t> ResolveVariableList(const std::string& text,
                                              const std::vector<std::string>& names);

// Variable numbers and ranges such as 1,3-5 (every number 1..100000), ascending, each once; with
// the names of the file's first line an item may also be a name. Nothing when the text is not such
// a list.
std::optional<std::vector<std::int32_t>> ParseVariableList(
    const std::string& text, const std::vector<std::string>& names = {});

// The variable (from 1) of that name; 0 when none has it, -1 when more than one has.
std::int32_t VariableByName(const std::string& name, const std::vector<std::string>& names);

}  // namespace corvane::cli
