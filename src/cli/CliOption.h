#pragma once

#include <string>

namespace corvane::cli {

// What the usage, --help and the manual page say about one option of a command. The command's
// declaration pairs it with the check that reads its value (CommandOption).
struct CliOption {
    std::string name{};  // as typed after "--"
    // The value in the usage: a name for it (N, CODE) or the values themselves (90|95|99). Empty
    // for a flag, which takes no value.
    std::string placeholder{};
    bool required = false;
    std::string defaultText{};  // the usage's "Defaults:" entry; empty to name none there
    std::string note{};         // a sentence for the usage's paragraph after the defaults
    std::string help{};         // the manual page's paragraph

    bool isFlag() const { return placeholder.empty(); }
    bool listsValues() const { return placeholder.find('|') != std::string::npos; }
    bool operator==(const CliOption&) const = default;
};

}  // namespace corvane::cli
