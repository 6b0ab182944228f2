#include "cli/UsageText.h"

#include <algorithm>

#include "cli/ExitStatuses.h"
#include "cli/HelpOrder.h"
#include "data/formats/FormatsHelpText.h"

namespace corvane::cli {

namespace {

constexpr std::size_t kWidth = 80;

std::string OptionPiece(const CliOption& option) {
    std::string piece = "--" + option.name;
    if (!option.isFlag()) piece += " " + option.placeholder;
    return option.required ? piece : "[" + piece + "]";
}

// "Defaults: --delimiter auto, ...": each option's default once, in the help's order.
std::string DefaultsParagraph(const std::vector<OptionHelp>& options) {
    std::string text;
    std::vector<std::string> named;
    for (const OptionHelp& entry : options) {
        const CliOption& o = entry.option;
        if (o.defaultText.empty()) continue;
        if (std::find(named.begin(), named.end(), o.name) != named.end()) continue;
        named.push_back(o.name);
        text += (text.empty() ? "Defaults: --" : ", --") + o.name + " " + o.defaultText;
    }
    return text.empty() ? "" : Wrapped(Words(text + "."));
}

// The options' notes, each once, in the help's order.
std::string NotesParagraph(const std::vector<OptionHelp>& options) {
    std::string text;
    for (const OptionHelp& entry : options) {
        const std::string& note = entry.option.note;
        if (note.empty() || text.find(note) != std::string::npos) continue;
        text += (text.empty() ? "" : " ") + note;
    }
    return text.empty() ? "" : Wrapped(Words(text));
}

std::string ExitStatusParagraph() {
    std::string text = "Exit status:";
    const std::vector<ExitStatus> statuses = ExitStatuses();
    for (std::size_t i = 0; i < statuses.size(); ++i) {
        text += (i == 0 ? " " : ", ") + std::to_string(statuses[i].code) + " " + statuses[i].usage;
    }
    return Wrapped(Words(text + "."));
}

}  // namespace

std::string UsageText(const std::vector<CliCommand>& commands) {
    std::string text = "Usage:\n";
    for (const CliCommand& command : commands) {
        text += Wrapped(SynopsisPieces(command), "       ");
    }
    text += "  corvane-cli --help\n\n";
    const std::vector<OptionHelp> options = OptionsInHelpOrder(commands);
    return text + FormatsParagraph() + DefaultsParagraph(options) + NotesParagraph(options) +
           ExitStatusParagraph();
}

std::string FormatsParagraph() { return FormatsHelpText(FormatRegistry::Builtin()); }

std::vector<std::string> SynopsisPieces(const CliCommand& command) {
    std::vector<std::string> pieces = {"  corvane-cli " + command.name + " FILE"};
    for (const CliOption& option : command.options) pieces.push_back(OptionPiece(option));
    return pieces;
}

std::string Wrapped(const std::vector<std::string>& pieces, const std::string& indent) {
    std::string text;
    std::string line;
    for (const std::string& piece : pieces) {
        if (line.empty()) {
            line = piece;
        } else if (line.size() + 1 + piece.size() <= kWidth) {
            line += " " + piece;
        } else {
            text += line + "\n";
            line = indent + piece;
        }
    }
    return line.empty() ? text : text + line + "\n";
}

std::vector<std::string> Words(const std::string& prose) {
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start < prose.size()) {
        const std::size_t space = prose.find(' ', start);
        const std::size_t end = space == std::string::npos ? prose.size() : space;
        if (end > start) words.push_back(prose.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

}  // namespace corvane::cli
