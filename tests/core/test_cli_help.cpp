#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/CliArguments.h"
#include "cli/Commands.h"
#include "cli/ManPage.h"
#include "cli/UsageText.h"

using corvane::cli::CliCommand;
using corvane::cli::CliOption;
using corvane::cli::Commands;

namespace {

// A text with its line ends read as spaces, so that wrapped prose reads as written.
std::string Flat(std::string text) {
    for (char& c : text) c = c == '\n' ? ' ' : c;
    return text;
}

// A roff line's text with its escapes undone.
std::string Unescaped(const std::string& roff) {
    std::string text;
    for (std::size_t i = 0; i < roff.size(); ++i) {
        if (roff[i] == '\\' && i + 1 < roff.size()) {
            const char next = roff[++i];
            if (next == '-') text += '-';
            if (next == 'e') text += '\\';
            continue;  // \& prints nothing
        }
        text += roff[i];
    }
    return text;
}

// The words a font request prints: its arguments, glued together where the request alternates
// fonts (.BR, .IR, ...), apart where it sets one (.B, .I).
std::string FontRequestText(const std::string& request, const std::string& args) {
    std::vector<std::string> words;
    bool quoted = false;
    for (const char c : args) {
        if (c == '"') {
            quoted = !quoted;
            if (quoted) words.emplace_back();
        } else if (c == ' ' && !quoted) {
            words.emplace_back();
        } else {
            if (words.empty()) words.emplace_back();
            words.back() += c;
        }
    }
    std::string text;
    for (const std::string& word : words) {
        text += (request.size() == 2 || text.empty() ? "" : " ") + word;
    }
    return text;
}

// The manual page as its reader sees the words: requests and escapes undone, lines joined.
std::string Unroff(const std::string& roff) {
    std::string text;
    std::istringstream lines(roff);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line[0] == '.') {
            const std::size_t space = line.find(' ');
            const std::string request = line.substr(1, space == std::string::npos ? 0 : space - 1);
            if (request.empty() || request == "TH" || request == "SH") continue;
            line = FontRequestText(request, line.substr(space + 1));
        }
        text += Unescaped(line) + " ";
    }
    return text;
}

std::string Man() { return corvane::cli::ManPage(Commands(), "9.9", "2026-01-02"); }

}  // namespace

// What a command declares is what the usage and the manual page say: every command, option,
// placeholder, default and note in the usage, every help text and default in the manual page.
TEST(CliHelp, UsageAndManualPageSayWhatTheCommandsDeclare) {
    const std::string usage = Flat(corvane::cli::UsageText(Commands()));
    const std::string man = Unroff(Man());
    for (const CliCommand& command : Commands()) {
        EXPECT_NE(usage.find("corvane-cli " + command.name + " FILE"), std::string::npos);
        EXPECT_NE(man.find(command.summary), std::string::npos) << command.name;
        for (const CliOption& o : command.options) {
            const std::string typed = "--" + o.name + (o.isFlag() ? "" : " " + o.placeholder);
            EXPECT_NE(usage.find(o.required ? typed : "[" + typed + "]"), std::string::npos)
                << typed;
            EXPECT_NE(usage.find(o.note), std::string::npos) << typed;
            EXPECT_NE(man.find(o.required ? typed : "[" + typed + "]"), std::string::npos) << typed;
            EXPECT_NE(man.find(o.help), std::string::npos) << typed;
            if (o.defaultText.empty()) continue;
            EXPECT_NE(usage.find("--" + o.name + " " + o.defaultText), std::string::npos) << typed;
            EXPECT_NE(man.find("Default: " + o.defaultText), std::string::npos) << typed;
        }
    }
}

// The usage as the tool prints it; only the formats paragraph has a maker of its own.
TEST(CliHelp, UsageTextLinesAndParagraphs) {
    EXPECT_EQ(corvane::cli::UsageText(Commands()),
              "Usage:\n"
              "  corvane-cli import FILE [--delimiter D] [--sheet S] [--crlf]\n"
              "  corvane-cli effect-size FILE --dv N --gv N --group1 CODE --group2 CODE\n"
              "       [--delimiter D] [--sheet S] [--trials T] [--level 90|95|99]\n"
              "       [--interval percentile|bca] [--variance-of 1|2] [--seed S] [--threads N]\n"
              "       [--format text|json|sentence] [--crlf] [--distribution CSV]\n"
              "  corvane-cli descriptives FILE --vars LIST [--delimiter D] [--sheet S]\n"
              "       [--format text|json] [--crlf]\n"
              "  corvane-cli --help\n"
              "\n" +
                  corvane::cli::FormatsParagraph() +
                  "Defaults: --delimiter auto, --trials 600 (1 to 1000000), --level 95, "
                  "--interval\n"
                  "percentile, --variance-of 1, --format text, --seed from the clock, "
                  "--threads one\n"
                  "per core.\n"
                  "LIST is such as 1,3-5. --distribution writes every trial's d and robust d to "
                  "CSV\n"
                  "(trial,d,robust_d; empty for an undefined value); with --format json the\n"
                  "histograms' bins are in the output too. --format sentence prints the result "
                  "as\n"
                  "one sentence for a manuscript.\n"
                  "Exit status: 0 done, 1 the program's message on standard error, 2 usage error,\n"
                  "130 interrupted (Ctrl-C) with nothing printed.\n");
}

// Every request line of the page is one roff knows, so no text line is taken for a request, and
// the examples are command lines the tool takes.
TEST(CliHelp, ManualPageIsRoffWithExamplesTheToolTakes) {
    const std::string man = Man();
    EXPECT_EQ(man.rfind(".TH CORVANE-CLI 1 \"2026-01-02\" \"Corvane 9.9\" \"User Commands\"\n", 0),
              0u);
    std::istringstream lines(man);
    const std::vector<std::string> requests = {".TH", ".SH", ".TP", ".PP", ".B",  ".I",
                                               ".BR", ".BI", ".RB", ".IR", ".br", ".EX",
                                               ".EE", ".nh", ".hy", ".ad"};
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || (line[0] != '.' && line[0] != '\'')) continue;
        const std::string request = line.substr(0, line.find(' '));
        EXPECT_NE(std::find(requests.begin(), requests.end(), request), requests.end()) << line;
    }
    for (const CliCommand& command : Commands()) {
        ASSERT_FALSE(command.examples.empty()) << command.name;
        for (const std::string& example : command.examples) {
            std::vector<std::string> args = {command.name};
            for (std::istringstream words(example); words >> args.emplace_back();) {
            }
            args.pop_back();
            const auto parsed = corvane::cli::ParseArgs(args, Commands());
            for (const CliOption& o : command.options) {
                EXPECT_TRUE(!o.required || parsed.value(o.name) != nullptr) << example;
            }
            EXPECT_NE(Unroff(man).find("corvane-cli " + command.name + " " + example),
                      std::string::npos);
        }
    }
}
