#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "GoldenDescriptives.h"
#include "TempFiles.h"
#include "analysis/Bootstrap.h"
#include "cli/CliArguments.h"
#include "cli/CliMain.h"
#include "cli/Commands.h"

using corvane::cli::CliEnvironment;
using corvane::cli::ParseVariableList;
using corvane::cli::RunCli;

namespace {

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

CliRun Cli(const std::vector<std::string>& args, const CliEnvironment& env = {}) {
    std::ostringstream out, err;
    const int code = RunCli(args, out, err, env);
    return {code, out.str(), err.str()};
}

// Group 1 = 1..10, group 2 = 2, 4, ..., 20, with the group code in column 1.
std::string TwoGroups() {
    std::string text;
    for (int i = 1; i <= 10; ++i) text += "1 " + std::to_string(i) + "\n";
    for (int i = 1; i <= 10; ++i) text += "2 " + std::to_string(2 * i) + "\n";
    return text;
}

// How the tool names a file: its full path, cleaned of "." and doubled separators.
std::string Shown(const std::string& path) {
    return std::filesystem::path(path).lexically_normal().string();
}

std::vector<std::string> EffectArgs(const std::string& file) {
    return {"effect-size", file, "--dv", "2", "--gv", "1", "--group1", "1", "--group2", "2"};
}

std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

}  // namespace

TEST(CliUsage, MalformedCommandsExitTwoWithUsage) {
    TempDir dir;
    const std::string f = dir.file("d.txt", TwoGroups());
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate", f},
        {"import"},
        {"import", f, f},
        {"import", f, "--format", "json"},
        {"import", f, "--delimiter", "colon"},
        {"import", f, "--delimiter"},
        {"import", f, "-x"},
        {"import", f, "--crlf=yes"},
        {"import", f, "--crlf", "--crlf"},
        {"effect-size", f, "--gv", "1", "--group1", "1", "--group2", "2"},
        {"effect-size", f, "--dv", "2", "--gv", "1", "--group2", "2"},
        With(EffectArgs(f), {"--dv", "3"}),
        With(EffectArgs(f), {"--trials", "0"}),
        With(EffectArgs(f), {"--trials", "1000001"}),
        With(EffectArgs(f), {"--trials", "6e2"}),
        With(EffectArgs(f), {"--level", "80"}),
        With(EffectArgs(f), {"--variance-of", "3"}),
        With(EffectArgs(f), {"--seed", "-1"}),
        With(EffectArgs(f), {"--format", "xml"}),
        With(EffectArgs(f), {"--interval", "studentized"}),
        {"effect-size", f, "--dv", "0", "--gv", "1", "--group1", "1", "--group2", "2"},
        {"effect-size", f, "--dv", "100001", "--gv", "1", "--group1", "1", "--group2", "2"},
        {"descriptives", f},
        {"descriptives", f, "--vars", "3-1"},
        {"descriptives", f, "--vars", ""},
    };
    for (const auto& args : cases) {
        const CliRun r = Cli(args);
        std::string shown;
        for (const auto& a : args) shown += a + " ";
        EXPECT_EQ(r.code, 2) << shown;
        EXPECT_NE(r.err.find("Usage:"), std::string::npos) << shown;
        EXPECT_EQ(r.out, "") << shown;
    }
}

// Each command takes only its own row's options: any other command's option is a usage error
// naming the command, before the file is read.
TEST(CliUsage, AnOptionOfAnotherCommandIsAUsageError) {
    std::set<std::string> options;
    for (const auto& command : corvane::cli::Commands()) {
        for (const auto& option : command.options) options.insert(option.name);
    }
    for (const auto& command : corvane::cli::Commands()) {
        for (const std::string& option : options) {
            if (command.option(option) != nullptr) continue;
            const CliRun r = Cli({command.name, "/no/such/file", "--" + option, "1"});
            EXPECT_EQ(r.code, 2) << command.name << " --" << option;
            EXPECT_EQ(r.err.rfind("corvane-cli: unknown option '--" + option + "' for " +
                                      command.name + "\n\nUsage:",
                                  0),
                      0u)
                << r.err;
        }
    }
}

// The options are read once, before the file: a missing option is named before a wrong value,
// and wrong values in the order the usage lists them.
TEST(CliUsage, MissingOptionsComeFirstThenValuesInUsageOrder) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"effect-size", "/no/file", "--dv", "0", "--gv", "1", "--group2", "2"},
         "missing --group1"},
        {With(EffectArgs("/no/file"), {"--threads", "0", "--format", "xml"}),
         "--threads takes a whole number from 1 to 1024"},
        {{"import", "/no/file", "--sheet", "", "--delimiter", "colon"},
         "--delimiter takes auto, space, comma, tab, semicolon or pipe"},
        {{"descriptives", "/no/file", "--format", "xml", "--delimiter", "colon"}, "missing --vars"},
    };
    for (const auto& [args, reason] : cases) {
        const CliRun r = Cli(args);
        EXPECT_EQ(r.code, 2) << reason;
        EXPECT_EQ(r.err.rfind("corvane-cli: " + reason + "\n\nUsage:", 0), 0u) << r.err;
    }
}

TEST(CliUsage, HelpGoesToStandardOutput) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--help"}, {"-h"}, {"help"}, {"descriptives", "--help"}}) {
        const CliRun r = Cli(args);
        EXPECT_EQ(r.code, 0);
        EXPECT_EQ(r.out.rfind("Usage:", 0), 0u);
        EXPECT_EQ(r.err, "");
    }
}

TEST(CliUsage, VariableLists) {
    using V = std::vector<std::int32_t>;
    EXPECT_EQ(ParseVariableList("1"), V({1}));
    EXPECT_EQ(ParseVariableList("1,3-5"), V({1, 3, 4, 5}));
    EXPECT_EQ(ParseVariableList("5,1,3-3,1"), V({1, 3, 5}));  // ascending, each once
    EXPECT_EQ(ParseVariableList("99998-100000").value().size(), 3u);
    for (const char* bad : {"", ",", "1,", ",1", "0", "100001", "5-3", "1-", "-2", "1--3", "a",
                            "1 ,2", "+1", "1.5", "1-100001"}) {
        EXPECT_FALSE(ParseVariableList(bad).has_value()) << bad;
    }
}

TEST(CliUserErrors, TheProgramsMessageOnStandardErrorAndExitOne) {
    TempDir dir;
    const std::string good = dir.file("d.txt", TwoGroups());
    const std::string bad = dir.file("bad.txt", "1 2\n1 x\n");
    const std::string flat = dir.file("flat.txt", "1 5\n1 5\n1 5\n2 1\n2 2\n");
    const std::string semicolons = std::string(CORVANE_TEST_DATA) + "/dialects/r_write_csv2.csv";
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"import", bad}, "Row 2 of Column 2 has an invalid entry for analysis.\n"},
        {{"import", good, "--delimiter", "tab"},
         "Row 1 of Column 1 has an invalid entry for analysis. The file looks space-delimited: "
         "choose Space Delimited and import again.\n"},
        {{"effect-size", good, "--dv", "2", "--gv", "1", "--group1", "1a", "--group2", "2"},
         "The value provided for Group 1 is not valid.\n"},
        {{"effect-size", good, "--dv", "2", "--gv", "1", "--group1", "1", "--group2", "."},
         "The value provided for Group 2 is not valid.\n"},
        {{"effect-size", good, "--dv", "2", "--gv", "1", "--group1", "1", "--group2", "1"},
         "There is an insufficient number of observations for Group 2.\n"},
        {{"effect-size", good, "--dv", "2", "--gv", "1", "--group1", "3", "--group2", "1"},
         "There is an insufficient number of observations for Group 1.\n"},
        {{"effect-size", flat, "--dv", "2", "--gv", "1", "--group1", "1", "--group2", "2"},
         "Group 1 has a zero variance.\n"},
        {{"effect-size", good, "--dv", "3", "--gv", "1", "--group1", "1", "--group2", "2"},
         "Var 3 is not in the data: the file has 2 variables.\n"},
        {{"descriptives", good, "--vars", "1-4"},
         "Var 3 is not in the data: the file has 2 variables.\n"},
        // Decimal commas would split each line in two.
        {{"import", semicolons, "--delimiter", "comma"},
         "The file looks semicolon-delimited with decimal commas: import it with --delimiter "
         "auto, which detects its format.\n"},
    };
    for (const Case& c : cases) {
        const CliRun r = Cli(c.args);
        EXPECT_EQ(r.code, 1) << c.message;
        EXPECT_EQ(r.err, c.message);
        EXPECT_EQ(r.out, "");
    }

    const CliRun missing = Cli({"import", dir.path() + "/absent.txt"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(
        missing.err.rfind("The file could not be read: " + Shown(dir.path() + "/absent.txt"), 0),
        0u)
        << missing.err;
}

TEST(CliImport, PrintsTheSummaryWithLfOrCrLf) {
    TempDir dir;
    const std::string f = dir.file("d.txt", "1 2 3\n\n4 5\n");
    const std::string c = dir.file("c.txt", "1,2\n\n3\n");
    // Without a delimiter the format is detected, and the summary says what it was read as.
    const CliRun r = Cli({"import", f});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "Opened the text file: " + Shown(f) +
                         "\nNumber of Cases: 3\nNumber of Variables: 3\nRead as: space-delimited "
                         "text\n\n\n");
    EXPECT_EQ(r.err, "");

    const CliRun crlf = Cli({"import", "--crlf", c, "--delimiter=comma"});
    EXPECT_EQ(crlf.code, 0) << crlf.err;
    EXPECT_EQ(crlf.out, "Opened the text file: " + Shown(c) +
                            "\r\nNumber of Cases: 3\r\nNumber of Variables: 2\r\n\r\n\r\n");
}

// A workbook's and a statistics file's summaries say what was opened and where the names came
// from; a later sheet is described without listing the workbook first.
TEST(CliImport, SummaryNamesTheKindOfFileOpened) {
    const std::string dir = std::string(CORVANE_TEST_DATA) + "/written-by/";
    const CliRun ods = Cli({"import", dir + "pandas_trial.ods", "--sheet", "2"});
    EXPECT_EQ(ods.out, "Opened the workbook: " + Shown(dir + "pandas_trial.ods") +
                           "\nNumber of Cases: 2\nNumber of Variables: 1\n"
                           "Variable Names: from the first row\n"
                           "Read as: OpenDocument spreadsheet, sheet \"notes\" (2 of 2)\n\n\n")
        << ods.err;
    const CliRun sav = Cli({"import", dir + "groups.sav"});
    EXPECT_EQ(sav.out, "Opened the data file: " + Shown(dir + "groups.sav") +
                           "\nNumber of Cases: 20\nNumber of Variables: 2\n"
                           "Variable Names: from the file\n"
                           "Read as: SPSS data file, 2 variables, 1 with value labels\n\n\n")
        << sav.err;
}

TEST(CliImport, NamesTheFileByItsFullPath) {
    TempDir dir;
    dir.file("d.txt", "1\n");
    const std::string relative =
        std::filesystem::relative(dir.path() + "/./d.txt", std::filesystem::current_path())
            .string();
    const CliRun r = Cli({"import", relative});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')),
              "Opened the text file: " + Shown(dir.path() + "/d.txt"));
}

TEST(CliEffectSize, ReproducesTheWorkedExample) {
    TempDir dir;
    const std::string f = dir.file("d.txt", TwoGroups());
    const CliRun r = Cli(With(EffectArgs(f), {"--seed", "1"}));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Cohen's D = 1.817 (Using variance from Group 1)\n"), std::string::npos);
    EXPECT_NE(r.out.find("Robust Cohen's D = 1.626 (Using variance from Group 1)\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("Pooled variance = 22.917\nPooled Winsorized variance = 11.806\n"),
              std::string::npos);
    EXPECT_EQ(r.out.find('\r'), std::string::npos);
    EXPECT_EQ(r.out.rfind("GROUP-LEVEL STATISTICS\n", 0), 0u);
    EXPECT_EQ(r.out.substr(r.out.size() - 6), "\n\n\n\n\n\n");

    const CliRun g2 = Cli(With(EffectArgs(f), {"--variance-of", "2", "--level", "90"}));
    ASSERT_EQ(g2.code, 0) << g2.err;
    EXPECT_NE(g2.out.find("Cohen's D = 0.908 (Using variance from Group 2)\n"), std::string::npos);
    EXPECT_NE(g2.out.find("Robust Cohen's D = 0.813 (Using variance from Group 2)\n"),
              std::string::npos);
    EXPECT_NE(g2.out.find("EFFECT SIZE ESTIMATES AND 90% CI\n"), std::string::npos);
}

TEST(CliEffectSize, TheSameSeedGivesTheSameReport) {
    TempDir dir;
    const std::string f = dir.file("d.txt", TwoGroups());
    const auto args = With(EffectArgs(f), {"--seed", "12345", "--trials", "2000"});
    const CliRun a = Cli(args);
    const CliRun b = Cli(args);
    ASSERT_EQ(a.code, 0) << a.err;
    EXPECT_EQ(a.out, b.out);
    EXPECT_NE(a.out.find("Number of attempted bootstrap trials = 2000\n"), std::string::npos);
    // ... whatever the number of threads.
    for (const char* threads : {"1", "3"}) {
        EXPECT_EQ(Cli(With(args, {"--threads", threads})).out, a.out) << threads;
    }
    EXPECT_EQ(Cli(With(args, {"--threads", "0"})).code, 2);

    // The CR LF form is the same text with the desktop program's line ends.
    const CliRun crlf = Cli(With(args, {"--crlf"}));
    std::string lf = crlf.out;
    for (std::size_t p; (p = lf.find("\r\n")) != std::string::npos;) lf.erase(p, 1);
    EXPECT_EQ(lf, a.out);
    EXPECT_NE(crlf.out, a.out);
}

TEST(CliEffectSize, AClockSeededReportNamesTheSeedThatRepeatsIt) {
    TempDir dir;
    const std::string f = dir.file("d.txt", TwoGroups());
    const CliRun clock = Cli(EffectArgs(f));
    ASSERT_EQ(clock.code, 0) << clock.err;
    // A clock seed may draw resamples without spread, so the valid count is not known here.
    const std::size_t valid = clock.out.find("Number of valid robust D bootstrap trials = ");
    const std::string key = "\nBootstrap seed = ";
    const std::size_t at = clock.out.find(key, valid);
    ASSERT_TRUE(valid != std::string::npos && at != std::string::npos) << clock.out;
    ASSERT_EQ(clock.out.find('\n', valid), at) << clock.out;
    const std::size_t from = at + key.size(), to = clock.out.find('\n', from);
    const std::string seed = clock.out.substr(from, to - from);
    EXPECT_EQ(clock.out.substr(to), "\n\n\n\n\n\n");
    for (const char* threads : {"1", "3"}) {
        EXPECT_EQ(Cli(With(EffectArgs(f), {"--seed", seed, "--threads", threads})).out, clock.out);
    }
}

namespace {

// The number after `key` (and after `after`, when given) in a JSON text.
double JsonValue(const std::string& json, const std::string& key, const std::string& after = "") {
    const std::size_t from = after.empty() ? 0 : json.find("\"" + after + "\": ");
    const std::size_t at = json.find("\"" + key + "\": ", from);
    EXPECT_NE(at, std::string::npos) << key;
    return std::strtod(json.c_str() + at + key.size() + 4, nullptr);
}

// Two decimals as a manuscript writes them, a true minus sign for a negative value.
std::string Manuscript(double x) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", x);
    return text[0] == '-' ? "\u2212" + std::string(text + 1) : text;
}

}  // namespace

TEST(CliEffectSize, TheSentenceHoldsTheJsonNumbersToTwoDecimals) {
    TempDir dir;
    // Group 2 lies below group 1, so both effect sizes and their bounds come out negative.
    const std::string f = dir.file("d.txt", "group score\n" + TwoGroups());
    const std::vector<std::string> args = {
        "effect-size", f,      "--dv",     "score", "--gv",          "group",
        "--group1",    "2",    "--group2", "1",     "--seed",        "77",
        "--trials",    "2000", "--level",  "90",    "--variance-of", "2"};
    const CliRun json = Cli(With(args, {"--format", "json"}));
    const CliRun sentence = Cli(With(args, {"--format", "sentence"}));
    ASSERT_EQ(sentence.code, 0) << sentence.err;
    const std::string& j = json.out;
    const std::string expected =
        "For score, group = 1 (n = 10) against group = 2 (n = 10): Glass's \u0394 = " +
        Manuscript(JsonValue(j, "d")) + ", 90% CI [" +
        Manuscript(JsonValue(j, "lower", "d_interval")) + ", " +
        Manuscript(JsonValue(j, "upper", "d_interval")) +
        "], standardized by the standard deviation of group = 1; robust \u0394 (Algina, "
        "Keselman, & Penfield, 2005; 20% trimmed means, Winsorized standard deviation) = " +
        Manuscript(JsonValue(j, "robust_d")) + ", 90% CI [" +
        Manuscript(JsonValue(j, "lower", "robust_d_interval")) + ", " +
        Manuscript(JsonValue(j, "upper", "robust_d_interval")) +
        "]; percentile bootstrap, 2,000 resamples, seed 77.\n";
    EXPECT_EQ(sentence.out, expected);
    EXPECT_EQ(Cli(With(args, {"--format", "paragraph"})).code, 2);
}

TEST(CliEffectSize, JsonCarriesTheUnroundedValues) {
    TempDir dir;
    const std::string f = dir.file("d.txt", TwoGroups());
    const CliRun r =
        Cli(With(EffectArgs(f), {"--seed", "99", "--format", "json", "--trials", "50"}));
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string& j = r.out;
    EXPECT_EQ(j.rfind("{\n  \"command\": \"effect-size\",\n", 0), 0u) << j;
    EXPECT_NE(j.find("\"file\": \"" + Shown(f) + "\""), std::string::npos);
    EXPECT_NE(j.find("\"seed\": 99,"), std::string::npos);
    EXPECT_NE(j.find("\"trials\": 50,"), std::string::npos);
    EXPECT_NE(j.find("\"level\": 95,"), std::string::npos);
    EXPECT_NE(j.find("\"variance_of\": 1,"), std::string::npos);
    EXPECT_EQ(j.find("interval_method"), std::string::npos);  // named only when not percentile
    const CliRun bca = Cli(With(EffectArgs(f), {"--seed", "99", "--format", "json", "--trials",
                                                "50", "--interval", "bca"}));
    EXPECT_NE(bca.out.find("\"level\": 95,\n  \"interval_method\": \"bca\","), std::string::npos)
        << bca.out;
    EXPECT_NE(j.find("\"group1_code\": 1,"), std::string::npos);
    EXPECT_NE(j.find("\"n\": 10,"), std::string::npos);
    EXPECT_NE(j.find("\"mean\": 5.5,"), std::string::npos);
    EXPECT_NE(j.find("\"variance\": 9.166667,"), std::string::npos);          // 9.167 in the report
    EXPECT_NE(j.find("\"pooled_variance\": 22.916666,"), std::string::npos);  // single(275 / 12)
    EXPECT_NE(j.find("\"d\": 1.8165"), std::string::npos);
    EXPECT_NE(j.find("\"d_interval\": {\n    \"lower\": "), std::string::npos);
    EXPECT_NE(j.find("\"valid_robust_d_trials\": "), std::string::npos);
    EXPECT_EQ(j.substr(j.size() - 2), "}\n");
    EXPECT_EQ(j.find('\r'), std::string::npos);
}

TEST(CliEffectSize, JsonWritesNullForAnUndefinedEffect) {
    TempDir dir;
    // Group 1 = 1, 1, 1, 1, 5: the Winsorized variance is 0, so robust d is undefined.
    const std::string f = dir.file("d.txt", "1 1\n1 1\n1 1\n1 1\n1 5\n2 3\n2 4\n2 6\n");
    const CliRun r = Cli({"effect-size", f, "--dv", "2", "--gv", "1", "--group1", "1", "--group2",
                          "2", "--seed", "5", "--format", "json"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("\"robust_d\": null,"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("\"d\": null"), std::string::npos);
}

TEST(CliEffectSize, ProgressBarOnlyWhenStandardErrorIsATerminal) {
    TempDir dir;
    const std::string f = dir.file("d.txt", TwoGroups());
    CliEnvironment terminal;
    terminal.errIsTerminal = true;
    terminal.progressDelaySeconds = 0;
    const CliRun shown = Cli(With(EffectArgs(f), {"--seed", "3"}), terminal);
    ASSERT_EQ(shown.code, 0);
    EXPECT_NE(shown.err.find("] 100% (600/600)"), std::string::npos);
    EXPECT_EQ(shown.err.back(), '\r');  // the bar is wiped when the run ends

    const CliRun quiet = Cli(With(EffectArgs(f), {"--seed", "3"}));
    EXPECT_EQ(quiet.err, "");
    EXPECT_EQ(quiet.out, shown.out);
}

TEST(CliEffectSize, AnInterruptStopsTheRunAndPrintsNothing) {
    TempDir dir;
    const std::string f = dir.file("d.txt", TwoGroups());
    corvane::CancelToken token;
    token.cancel();
    CliEnvironment interrupted;
    interrupted.cancel = &token;
    for (const auto& args : {With(EffectArgs(f), {"--trials", "1000000"}),
                             std::vector<std::string>{"descriptives", f, "--vars", "1"}}) {
        const CliRun r = Cli(args, interrupted);
        EXPECT_EQ(r.code, 130);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "");
    }
}

TEST(CliDescriptives, TheThreeVariableExampleByteForByte) {
    TempDir dir;
    const std::string f = dir.file("d.txt", corvane::test::kThreeVariableFile);
    const std::string expected = corvane::test::kThreeVariableReport;
    const CliRun crlf = Cli({"descriptives", f, "--vars", "1-3", "--crlf"});
    ASSERT_EQ(crlf.code, 0) << crlf.err;
    EXPECT_EQ(crlf.out, expected);

    std::string lf = expected;
    for (std::size_t p; (p = lf.find("\r\n")) != std::string::npos;) lf.erase(p, 1);
    EXPECT_EQ(Cli({"descriptives", f, "--vars", "3,1-2"}).out, lf);
}

TEST(CliDescriptives, JsonWritesNullWhereTheReportShowsADot) {
    TempDir dir;
    const std::string f = dir.file("d.txt", corvane::test::kThreeVariableFile);
    const CliRun r = Cli({"descriptives", f, "--vars", "2-3", "--format", "json"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "{\n"
              "  \"command\": \"descriptives\",\n"
              "  \"file\": \"" +
                  Shown(f) +
                  "\",\n"
                  "  \"cases\": 4,\n"
                  "  \"variables\": [\n"
                  "    {\n"
                  "      \"variable\": 2,\n"
                  "      \"n\": 1,\n"
                  "      \"mean\": 2.5,\n"
                  "      \"sd\": null,\n"
                  "      \"min\": 2.5,\n"
                  "      \"max\": 2.5\n"
                  "    },\n"
                  "    {\n"
                  "      \"variable\": 3,\n"
                  "      \"n\": 0,\n"
                  "      \"mean\": null,\n"
                  "      \"sd\": null,\n"
                  "      \"min\": null,\n"
                  "      \"max\": null\n"
                  "    }\n"
                  "  ]\n"
                  "}\n");
}

// A blank line and the cells a short line does not reach hold no value: they join no group,
// and the effect sizes and the descriptives are those of the file without them.
TEST(CliEffectSize, BlankLinesAndShortLinesAddNoValues) {
    TempDir dir;
    std::string text = "group score\n";
    for (int i = 0; i < 12; ++i)
        text += std::to_string(i % 2) + " " + std::to_string(10 + i % 5 + 4 * (i % 2)) + "\n";
    const std::string plain = dir.file("plain.txt", text);
    const std::string ragged = dir.file("ragged.txt", text + "0\n1\n\n\n");
    const std::vector<std::string> args = {"--dv",     "score", "--gv",     "group",
                                           "--group1", "0",     "--group2", "1",
                                           "--seed",   "5",     "--format", "json"};
    const CliRun a = Cli(With({"effect-size", plain}, args));
    const CliRun b = Cli(With({"effect-size", ragged}, args));
    ASSERT_EQ(b.code, 0) << b.err;
    const auto tail = [](const std::string& json) {
        return json.substr(json.find("\"dependent\""));
    };
    EXPECT_EQ(tail(b.out), tail(a.out));
    const std::string shown = Cli({"descriptives", ragged, "--vars", "1-2"}).out;
    EXPECT_NE(shown.find("score          13.75     2.633        10        18        12"),
              std::string::npos)
        << shown;
}

TEST(CliJson, FileNamesAreEscaped) {
    TempDir dir;
    const std::string f = dir.file("a\"b\\c.txt", "1\n2\n");
    const CliRun r = Cli({"descriptives", f, "--vars", "1", "--format", "json"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("a\\\"b\\\\c.txt\""), std::string::npos) << r.out;
}

// A names line: the summary says so, names stand for numbers in every variable option, and the
// report and JSON carry them.
TEST(CliNames, NamesFromTheFirstLine) {
    TempDir dir;
    const std::string f = dir.file(
        "named.csv", "group,score,\n" + [] {
            std::string t;
            for (int i = 1; i <= 10; ++i) t += "1," + std::to_string(i) + ",0\n";
            for (int i = 1; i <= 10; ++i) t += "2," + std::to_string(2 * i) + ",0\n";
            return t;
        }());
    const CliRun summary = Cli({"import", f, "--delimiter", "comma"});
    EXPECT_EQ(summary.out, "Opened the text file: " + Shown(f) +
                               "\nNumber of Cases: 20\nNumber of Variables: 3\n"
                               "Variable Names: from the first line\n\n\n");

    const std::vector<std::string> byName = {
        "effect-size", f,          "--dv", "score",  "--gv", "group",       "--group1",
        "1",           "--group2", "2",    "--seed", "7",    "--delimiter", "comma"};
    const CliRun named = Cli(byName);
    ASSERT_EQ(named.code, 0) << named.err;
    EXPECT_NE(named.out.find("\nDep Var = Var 2 (score); Grp Var = Var 1 (group)\n"),
              std::string::npos);
    std::vector<std::string> byNumber = byName;
    byNumber[3] = "2";
    byNumber[5] = "1";
    EXPECT_EQ(Cli(byNumber).out, named.out);

    const CliRun json = Cli(With(byName, {"--format", "json"}));
    EXPECT_NE(json.out.find("\"dependent\": 2,\n  \"dependent_name\": \"score\",\n"
                            "  \"grouping\": 1,\n  \"grouping_name\": \"group\",\n"),
              std::string::npos)
        << json.out;

    const CliRun table =
        Cli({"descriptives", f, "--vars", "score,3", "--delimiter", "comma", "--format", "json"});
    ASSERT_EQ(table.code, 0) << table.err;
    EXPECT_NE(table.out.find("\"variable\": 2,\n      \"name\": \"score\",\n"), std::string::npos);
    EXPECT_NE(table.out.find("\"variable\": 3,\n      \"name\": null,\n"), std::string::npos);

    const CliRun unknown = Cli({"descriptives", f, "--vars", "height", "--delimiter", "comma"});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_NE(unknown.err.find("or names from the file's first line"), std::string::npos);
    const std::string twice = dir.file("twice.txt", "a a\n1 2\n");
    const CliRun ambiguous = Cli({"descriptives", twice, "--vars", "1"});
    EXPECT_EQ(ambiguous.code, 0);
    EXPECT_EQ(Cli(With(EffectArgs(twice), {})).code, 1);  // Var 2 by number is fine
    std::vector<std::string> byAmbiguousName = EffectArgs(twice);
    byAmbiguousName[3] = "a";
    const CliRun both = Cli(byAmbiguousName);
    EXPECT_EQ(both.code, 2);
    EXPECT_NE(both.err.find("more than one variable is named a"), std::string::npos);
}

namespace {

// The number after `"key": ` at or after `from`.
double JsonNumberAt(const std::string& json, const std::string& key, std::size_t from = 0) {
    const std::size_t at = json.find("\"" + key + "\": ", from);
    EXPECT_NE(at, std::string::npos) << key;
    return at == std::string::npos ? 0 : std::strtod(json.c_str() + at + key.size() + 4, nullptr);
}

}  // namespace

// TwoGroups with a names line and the groups in words.
std::string NamedGroups() {
    std::string text = "group,score\n";
    for (int i = 1; i <= 10; ++i) text += "control," + std::to_string(i) + "\n";
    for (int i = 1; i <= 10; ++i) text += "treatment," + std::to_string(2 * i) + "\n";
    return text;
}

std::vector<std::string> NamedGroupArgs(const std::string& file, const std::string& group1) {
    return {"effect-size", file,       "--dv",      "score",  "--gv", "group",       "--group1",
            group1,        "--group2", "treatment", "--seed", "7",    "--delimiter", "comma"};
}

// A build whose import reads no text columns has nothing to run these on.
bool ReadsTextColumns(const std::string& file) {
    return Cli({"import", file, "--delimiter", "comma"}).code == 0;
}

// A text variable whose labels look like numbers: "1" names the label 1 (coded 2, as it comes
// second in the file), and the sentence names the groups the report does.
TEST(CliEffectSize, TheSentenceNamesTheGroupsTheAnalysisChose) {
    TempDir dir;
    const std::string f = dir.file("g.txt", "group score\n2 5\n1 3\n2 6\n1 4\n2 7\n1 2\nx 9\n");
    const std::vector<std::string> args = {
        "effect-size", f,          "--dv", "score",  "--gv", "group",    "--group1",
        " 1 ",         "--group2", "2",    "--seed", "3",    "--format", "sentence"};
    const CliRun r = Cli(args);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.rfind("For score, 2 (n = 3) against 1 (n = 3): Glass's \u0394 = 3.00", 0), 0u)
        << r.out;
}

TEST(CliEffectSize, GroupsChosenByName) {
    TempDir dir;
    const std::string f = dir.file("named.csv", NamedGroups());
    if (!ReadsTextColumns(f)) GTEST_SKIP() << "text columns do not import in this build";
    const CliRun r = Cli(NamedGroupArgs(f, " control "));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Grp Var = Var 1 (group)\nGroup 1 = control; Group 2 = treatment\n"),
              std::string::npos)
        << r.out;
    const CliRun json = Cli(With(NamedGroupArgs(f, "control"), {"--format", "json"}));
    EXPECT_NE(
        json.out.find("\"group1_code\": 1,\n  \"group2_code\": 2,\n"
                      "  \"group1_label\": \"control\",\n  \"group2_label\": \"treatment\",\n"),
        std::string::npos)
        << json.out;
}

TEST(CliUserErrors, AGroupNameTheDataLacksListsItsValues) {
    TempDir dir;
    const std::string f = dir.file("named.csv", NamedGroups());
    if (!ReadsTextColumns(f)) GTEST_SKIP() << "text columns do not import in this build";
    const CliRun r = Cli(NamedGroupArgs(f, "1"));
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err,
              "The value provided for Group 1 is not valid. Var 1 (group) holds: control, "
              "treatment.\n");
}

TEST(CliEffectSize, DistributionWritesEveryTrialAndTheJsonBins) {
    TempDir dir;
    // Group 1 = 3, 7: a resample drawing one value twice has no variance, so d is undefined in
    // about half the trials.
    std::string text = "1 3\n1 7\n";
    for (int i = 1; i <= 10; ++i) text += "2 " + std::to_string(i) + "\n";
    const std::string f = dir.file("d.txt", text);
    const std::string csv = dir.path() + "/trials.csv";
    const CliRun r = Cli(With(EffectArgs(f), {"--seed", "7", "--trials", "300", "--level", "99",
                                              "--format", "json", "--distribution", csv}));
    ASSERT_EQ(r.code, 0) << r.err;

    std::ifstream in(csv, std::ios::binary);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "trial,d,robust_d");
    std::vector<float> d;
    int lines = 0, empty = 0;
    while (std::getline(in, line)) {
        ++lines;
        const std::size_t c1 = line.find(','), c2 = line.rfind(',');
        ASSERT_NE(c1, c2) << line;
        EXPECT_EQ(line.substr(0, c1), std::to_string(lines));
        const std::string field = line.substr(c1 + 1, c2 - c1 - 1);
        if (field.empty()) {
            ++empty;
        } else {
            d.push_back(std::strtof(field.c_str(), nullptr));
        }
    }
    EXPECT_EQ(lines, 300);
    const auto valid = static_cast<std::int32_t>(JsonNumberAt(r.out, "valid_d_trials"));
    EXPECT_EQ(static_cast<std::int32_t>(d.size()), valid);
    EXPECT_GT(empty, 50);

    // The reported interval is read off the CSV's column.
    std::sort(d.begin(), d.end());
    const auto pos = corvane::PercentilePositionsFor(valid, 0.99f);
    const std::size_t interval = r.out.find("\"d_interval\"");
    EXPECT_EQ(static_cast<float>(JsonNumberAt(r.out, "lower", interval)), d[pos.lower - 1]);
    EXPECT_EQ(static_cast<float>(JsonNumberAt(r.out, "upper", interval)), d[pos.upper - 1]);

    // The bars of each histogram hold its valid trials.
    for (const char* key : {"\"d_histogram\": [\n", "\"robust_d_histogram\": [\n"}) {
        std::size_t at = r.out.find(key);
        ASSERT_NE(at, std::string::npos) << key;
        const std::size_t end = r.out.find(']', at);
        std::int64_t total = 0;
        while ((at = r.out.find("\"count\": ", at)) < end)
            total += JsonNumberAt(r.out, "count", at++);
        EXPECT_EQ(total, valid) << key;  // two values: robust d trims nothing
    }

    // Without --distribution the JSON has no bars; a file that cannot be written fails the
    // command before anything is printed, and the data file is never the target.
    EXPECT_EQ(Cli(With(EffectArgs(f), {"--format", "json"})).out.find("histogram"),
              std::string::npos);
    const std::string nowhere = dir.path() + "/no/such/folder.csv";
    const CliRun failed = Cli(With(EffectArgs(f), {"--distribution", nowhere}));
    EXPECT_EQ(failed.code, 1);
    EXPECT_EQ(failed.out, "");
    EXPECT_EQ(failed.err.rfind("The trial values could not be saved to " + nowhere + " (", 0), 0u)
        << failed.err;
    EXPECT_EQ(Cli(With(EffectArgs(f), {"--distribution", f})).code, 2);
    std::ifstream data(f, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(data), {}), text);
}

// With nothing chosen, every format is detected: the same two groups written by R as words in
// a CSV, as words in a workbook and as labelled codes (treatment coded first) in SPSS and Stata
// files and an R factor give the same result when the groups are named.
TEST(CliImport, EveryFormatDetectedAndGroupsNamedAlike) {
    const std::string dir = std::string(CORVANE_TEST_DATA) + "/written-by/";
    std::string first;
    for (const std::string file :
         {"groups.csv", "groups.xlsx", "groups.sav", "groups.dta", "../rdata/groups.rds"}) {
        const CliRun r =
            Cli({"effect-size", dir + file, "--dv", "score", "--gv", "group", "--group1", "control",
                 "--group2", "treatment", "--seed", "7", "--format", "sentence"});
        ASSERT_EQ(r.code, 0) << file << ": " << r.err;
        if (first.empty()) first = r.out;
        EXPECT_EQ(r.out, first) << file;
    }
    EXPECT_NE(first.find("treatment (n = 10) against control (n = 10)"), std::string::npos)
        << first;

    // Text in the dialects of continental Europe: the numbers read with their decimal commas,
    // names in the Windows code page as UTF-8.
    const std::string dialects = std::string(CORVANE_TEST_DATA) + "/dialects/";
    const CliRun csv2 = Cli({"descriptives", dialects + "r_write_csv2.csv", "--vars", "score"});
    EXPECT_NE(csv2.out.find("score         72.062     6.217     65.25      80.1         4"),
              std::string::npos)
        << csv2.out << csv2.err;
    const CliRun cp1252 = Cli({"import", dialects + "pandas_cp1252.csv"});
    EXPECT_NE(cp1252.out.find("Read as: semicolon-delimited text, decimal comma, Windows-1252\n"),
              std::string::npos)
        << cp1252.out << cp1252.err;
    EXPECT_EQ(Cli({"descriptives", dialects + "pandas_cp1252.csv", "--vars", "Größe"}).code, 0);
    // A chosen delimiter reads as before, and the summary says nothing more.
    const CliRun semicolon =
        Cli({"import", dialects + "r_write_csv2.csv", "--delimiter", "semicolon"});
    EXPECT_EQ(semicolon.code, 0) << semicolon.err;  // 72,9 is then text, not a number
    EXPECT_EQ(semicolon.out.find("Read as"), std::string::npos);
    const CliRun pipe = Cli({"descriptives", dialects + "r_write_table_pipe.txt", "--vars", "score",
                             "--delimiter", "pipe"});
    EXPECT_NE(pipe.out.find("score         72.062     6.217     65.25      80.1         4"),
              std::string::npos)
        << pipe.out << pipe.err;
}
