#include "cli/ManPage.h"

#include "cli/ExitStatuses.h"
#include "cli/HelpOrder.h"
#include "cli/UsageText.h"

namespace corvane::cli {

namespace {

// The tool's own sentences; the commands and options speak for themselves.
constexpr const char* kToolSummary =
    "effect sizes and descriptives of a data file, without a window";
constexpr const char* kToolDescription =
    "reads a data file and prints exactly the text the desktop program corvane appends to its "
    "output pane for the same actions, with LF line ends. The file may be delimited text (one "
    "case per line; a dot, an empty field or a single space is a missing value), an Excel or "
    "OpenDocument workbook, or an SPSS, Stata or SAS data file.";
constexpr const char* kOptionOrder =
    ".PP\nOptions may come in any order, before or after\n.IR FILE ,\nas\n.B \\-\\-name value\n"
    "or\n.BR \\-\\-name=value ;\n.B \\-\\-\nends the options.\n";

// Text as roff prints it: dashes as typed, backslashes shown, no line taken for a request.
std::string Roff(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool lineStart = i == 0 || text[i - 1] == '\n';
        if (lineStart && (c == '.' || c == '\'')) out += "\\&";
        if (c == '-') {
            out += "\\-";
        } else if (c == '\\') {
            out += "\\e";
        } else {
            out += c;
        }
    }
    return out;
}

// Prose as roff source lines of about 80 columns.
std::string Paragraph(const std::string& prose) { return Roff(Wrapped(Words(prose))); }

// "import, effect-size and descriptives"
std::string Listed(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " and " : ", ";
        text += names[i];
    }
    return text;
}

// One option in a usage line: bold name, the values themselves in roman, a name for one in
// italics, brackets around an optional one.
std::string SynopsisOption(const CliOption& o) {
    const std::string name = Roff("--" + o.name);
    const std::string value = Roff(o.placeholder);
    if (o.required && o.isFlag()) return ".B " + name + "\n";
    if (o.required && o.listsValues()) return ".BR " + name + " \" " + value + "\"\n";
    if (o.required) return ".B " + name + "\n.I " + value + "\n";
    if (o.isFlag()) return ".RB [ " + name + " ]\n";
    if (o.listsValues()) return ".RB [ " + name + " \" " + value + "]\"\n";
    return ".RB [ " + name + "\n.IR " + value + " ]\n";
}

std::string Synopsis(const std::vector<CliCommand>& commands) {
    std::string text = ".SH SYNOPSIS\n.nh\n.ad l\n";  // no words split, ragged right
    for (const CliCommand& command : commands) {
        text += ".B " + Roff("corvane-cli " + command.name) + "\n.I FILE\n";
        for (const CliOption& option : command.options) text += SynopsisOption(option);
        text += ".br\n";
    }
    return text + ".B " + Roff("corvane-cli --help") + "\n.ad\n.hy\n";
}

std::string Description(const std::vector<CliCommand>& commands) {
    std::string text =
        ".SH DESCRIPTION\n.B " + Roff("corvane-cli") + "\n" + Paragraph(kToolDescription);
    for (const CliCommand& command : commands) {
        text += ".TP\n.B " + Roff(command.name) + "\n" + Paragraph(command.summary);
    }
    return text;
}

std::string OptionEntry(const OptionHelp& entry) {
    const CliOption& o = entry.option;
    const std::string name = Roff("--" + o.name);
    std::string text = ".TP\n";
    if (o.isFlag()) {
        text += ".B " + name + "\n";
    } else {
        text += (o.listsValues() ? ".BR " : ".BI ") + name + " \" " + Roff(o.placeholder) + "\"\n";
    }
    std::string prose = o.help;
    if (!o.defaultText.empty()) prose += " Default: " + o.defaultText + ".";
    prose += (o.required ? " Required by " : " Taken by ") + Listed(entry.commands) + ".";
    return text + Paragraph(prose);
}

std::string Options(const std::vector<CliCommand>& commands) {
    std::string text = ".SH OPTIONS\n";
    for (const OptionHelp& entry : OptionsInHelpOrder(commands)) text += OptionEntry(entry);
    return text + ".TP\n.B " + Roff("--help") + "\nPrints the usage.\n" + kOptionOrder;
}

std::string ExitStatusSection() {
    std::string text = ".SH EXIT STATUS\n";
    for (const ExitStatus& status : ExitStatuses()) {
        text += ".TP\n.B " + std::to_string(status.code) + "\n" + Paragraph(status.manual);
    }
    return text;
}

std::string Examples(const std::vector<CliCommand>& commands) {
    std::string text = ".SH EXAMPLES\n.EX\n";
    for (const CliCommand& command : commands) {
        for (const std::string& example : command.examples) {
            text += Roff("corvane-cli " + command.name + " " + example) + "\n";
        }
    }
    return text + ".EE\n";
}

}  // namespace

std::string ManPage(const std::vector<CliCommand>& commands, const std::string& version,
                    const std::string& date) {
    return ".TH CORVANE-CLI 1 \"" + date + "\" \"Corvane " + version +
           "\" \"User Commands\"\n.SH NAME\n" + Roff("corvane-cli") + " \\- " + Roff(kToolSummary) +
           "\n" + Synopsis(commands) + Description(commands) + Options(commands) +
           ExitStatusSection() + Examples(commands);
}

}  // namespace corvane::cli
