#pragma once

#include <charconv>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

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
    std::string command;
    std::string file;
    std::map<std::string, std::string> values;
    std::set<std::string> flags;
    bool help = false;

    const std::string* value(const std::string& name) const;
    // The option's value; a UsageError when it was not given.
    const std::string& required(const std::string& name) const;
    bool flag(const std::string& name) const { return flags.count(name) != 0; }
};

// Throws UsageError when the line is not a command the tool knows.
ParsedArgs ParseArgs(const std::vector<std::string>& args);

// A whole decimal number with nothing around it.
template <class T>
std::optional<T> ParseUnsigned(const std::string& text) {
    T value{};
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

// A variable given by number (1..1000), or by a name of the file's first line once the file is
// read; a usage error otherwise. `option` names the option in the message.
std::int32_t ResolveVariable(const std::string& text, const std::vector<std::string>& names,
                             const std::string& option);
// --delimiter as the character the import splits on; space when not given.
char ParseDelimiter(const ParsedArgs& a);
// --format: true for json, false for text (the default).
bool ParseJsonFormat(const ParsedArgs& a);

}  // namespace corvane::cli
