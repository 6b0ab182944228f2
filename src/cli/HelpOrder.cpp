#include "cli/HelpOrder.h"

#include <algorithm>
#include <iterator>

namespace corvane::cli {

namespace {

// The whole tool's order of options; one not listed comes after these, as first declared.
const char* const kHelpOrder[] = {
    "delimiter", "sheet",    "vars",        "dv",           "gv",     "group1", "group2",  "trials",
    "level",     "interval", "variance-of", "distribution", "format", "seed",   "threads", "crlf"};

std::size_t Rank(const std::string& name) {
    const auto at = std::find(std::begin(kHelpOrder), std::end(kHelpOrder), name);
    return static_cast<std::size_t>(at - std::begin(kHelpOrder));
}

}  // namespace

std::vector<OptionHelp> OptionsInHelpOrder(const std::vector<CliCommand>& commands) {
    std::vector<OptionHelp> entries;
    for (const CliCommand& command : commands) {
        for (const CliOption& option : command.options) {
            const auto same = std::find_if(entries.begin(), entries.end(),
                                           [&](const OptionHelp& e) { return e.option == option; });
            if (same != entries.end()) {
                same->commands.push_back(command.name);
            } else {
                entries.push_back({option, {command.name}});
            }
        }
    }
    std::stable_sort(entries.begin(), entries.end(), [](const OptionHelp& a, const OptionHelp& b) {
        return Rank(a.option.name) < Rank(b.option.name);
    });
    return entries;
}

}  // namespace corvane::cli
