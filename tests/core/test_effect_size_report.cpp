#include <gtest/gtest.h>

#include <string>

#include "analysis/EffectSizeAnalysis.h"
#include "analysis/GroupChoice.h"
#include "analysis/render/BootstrapDistributions.h"
#include "analysis/render/EffectSizeReport.h"
#include "common/Single.h"

using namespace corvane;

namespace {

// Var 1 holds the scores, Var 2 the group codes: 1..10 in group 1, 2, 4, ..., 20 in group 2.
DataMatrix TwoGroups() {
    DataMatrix m(20, 2);
    for (int i = 1; i <= 10; ++i) {
        m(i, 1) = static_cast<float>(i);
        m(i, 2) = 1;
        m(i + 10, 1) = static_cast<float>(2 * i);
        m(i + 10, 2) = 2;
    }
    return m;
}

EffectSizeRequest Request() {
    EffectSizeRequest r;
    r.dependent = 1;
    r.grouping = 2;
    r.code1Text = "1";
    r.code2Text = " 2 ";
    return r;
}

// The matrix as a data set of `cases` cases, without names.
DataSet Data(DataMatrix m, std::int32_t cases) {
    DataSet::Contents c;
    c.variables = m.storedColumns();
    c.matrix = std::move(m);
    c.cases = cases;
    return DataSet(std::move(c));
}

// TwoGroups with names, Var 2 described by `group`.
DataSet WithFacts(VariableFacts group, VariableFacts score = {}) {
    DataSet::Contents c;
    c.matrix = TwoGroups();
    c.cases = 20;
    c.variables = 2;
    c.names = {"score", "group"};
    c.facts = {std::move(score), std::move(group)};
    return DataSet(std::move(c));
}

VariableFacts Text(std::vector<std::string> labels) {
    VariableFacts f;
    f.kind = VariableKind::Text;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        f.labels.push_back({static_cast<float>(i + 1), labels[i]});
    }
    return f;
}

// The text of a failure, whose box is always titled "Analysis Error".
std::string Text(const AnalysisError& e) {
    const AnalysisMessage m = AnalysisErrorText(e);
    EXPECT_EQ(m.title, "Analysis Error");
    return m.text;
}

std::string Message(const DataMatrix& m, std::int32_t cases, const EffectSizeRequest& r) {
    auto out = RunEffectSizeAnalysis(Data(m, cases), r, 1, {});
    if (out.ok()) return "ok";
    return Text(out.error());
}

std::string ChoiceFailure(const DataSet& data, std::string_view text1, std::string_view text2) {
    auto chosen = ChooseGroups(data, 2, text1, text2);
    return chosen.ok() ? "ok" : Text(chosen.error());
}

// Var 3 by Var 12 over 600 trials, with a robust interval that reaches the missing code.
EffectSizeOutcome LayoutRun() {
    EffectSizeOutcome o;
    o.subject.dependent = 3;
    o.subject.grouping = 12;
    BootstrapResult& r = o.result;
    r.group1 = {10, 5.5f, 5.5f, 9.166667f, 4.722222f, {}};
    r.group2 = {10, 11.0f, 11.0f, 36.66667f, 18.88889f, {}};
    r.pooledVariance = 22.91667f;
    r.pooledWinsorizedVariance = 11.80556f;
    r.trials = 600;
    r.seed = 18446744073709551615u;
    r.estimates.resize(2);
    r.estimates[0] = {EstimateKind::D, 1.816590f, {}, 600, {}, {0.9123456f, 3.2101f}};
    r.estimates[1] = {EstimateKind::RobustD, 1.625933f, {}, 598, {}, {-0.0004f, kMissing}};
    o.settings.level = 0.9f;
    o.settings.chosenGroup = 2;
    return o;
}

}  // namespace

TEST(BuildReport, TheWholeLayout) {
    EffectSizeOutcome o = LayoutRun();
    const std::string expected =
        "GROUP-LEVEL STATISTICS\r\n"
        "---------------------------------------------\r\n"
        "Statistic              Group 1        Group 2\r\n"
        "---------------------------------------------\r\n"
        "Sample Size                 10             10\r\n"
        "\r\n"
        "Mean                       5.5             11\r\n"
        "Trimmed Mean               5.5             11\r\n"
        "\r\n"
        "Variance                 9.167         36.667\r\n"
        "Wins. Var.               4.722         18.889\r\n"
        "---------------------------------------------\r\n"
        "Dep Var = Var 3; Grp Var = Var 12\r\n"
        "\r\n"
        "\r\n"
        "EFFECT SIZE ESTIMATES AND 90% CI\r\n"
        "--------------------------------------------------\r\n"
        "Pooled variance = 22.917\r\n"
        "Pooled Winsorized variance = 11.806\r\n"
        "\r\n"
        "Cohen's D = 1.817 (Using variance from Group 2)\r\n"
        "Robust Cohen's D = 1.626 (Using variance from Group 2)\r\n"
        "\r\n"
        "90% CI for population D = (0.912, 3.21)\r\n"
        "90% CI for population Robust D = (0, 9999999)\r\n"
        "--------------------------------------------------\r\n"
        "Number of attempted bootstrap trials = 600\r\n"
        "Number of valid D bootstrap trials = 600\r\n"
        "Number of valid robust D bootstrap trials = 598\r\n"
        "Bootstrap seed = 18446744073709551615\r\n"
        "\r\n\r\n\r\n\r\n\r\n";
    EXPECT_EQ(BuildReport(o), expected);

    // Names from the file's first line follow the numbers; a variable without one keeps its
    // number alone, and only this line changes.
    std::string named = expected;
    const std::string plain = "Dep Var = Var 3; Grp Var = Var 12";
    named.replace(named.find(plain), plain.size(), "Dep Var = Var 3 (score); Grp Var = Var 12");
    o.subject.named = true;
    o.subject.dependentName = "score";
    EXPECT_EQ(BuildReport(o), named);
    o.subject.groupingName = "group";
    EXPECT_NE(BuildReport(o).find("Dep Var = Var 3 (score); Grp Var = Var 12 (group)\r\n"),
              std::string::npos);
}

TEST(RunEffectSizeAnalysis, TheExampleGroups) {
    auto out = RunEffectSizeAnalysis(Data(TwoGroups(), 20), Request(), 2026, {});
    ASSERT_TRUE(out.ok());
    const std::string report = BuildReport(out.value());
    EXPECT_NE(report.find("Cohen's D = 1.817 (Using variance from Group 1)\r\n"),
              std::string::npos);
    EXPECT_NE(report.find("Robust Cohen's D = 1.626 (Using variance from Group 1)\r\n"),
              std::string::npos);
    EXPECT_NE(report.find("EFFECT SIZE ESTIMATES AND 95% CI\r\n"), std::string::npos);
    EXPECT_NE(report.find("Dep Var = Var 1; Grp Var = Var 2\r\n"), std::string::npos);

    // The same seed gives the same report, digit for digit, on any number of threads.
    for (unsigned threads : {1u, 2u, 7u}) {
        RunOptions options;
        options.threads = threads;
        EXPECT_EQ(
            BuildReport(
                RunEffectSizeAnalysis(Data(TwoGroups(), 20), Request(), 2026, {}, options).value()),
            report)
            << threads;
    }
}

TEST(RunEffectSizeAnalysis, ValidationsInOrder) {
    const DataMatrix m = TwoGroups();
    EffectSizeRequest r = Request();
    r.dependent = kNone;
    r.grouping = kNone;
    r.code1Text = "";
    EXPECT_EQ(Message(m, 20, r), "A dependent variable must be selected.");
    r.dependent = 1;
    EXPECT_EQ(Message(m, 20, r), "A grouping variable must be selected.");
    r.grouping = 2;
    r.code2Text = "x";
    EXPECT_EQ(Message(m, 20, r), "The value provided for Group 1 is not valid.");
    r.code1Text = "1a";
    EXPECT_EQ(Message(m, 20, r), "The value provided for Group 1 is not valid.");
    r.code1Text = "7";
    EXPECT_EQ(Message(m, 20, r), "The value provided for Group 2 is not valid.");
    r.code2Text = ".";
    EXPECT_EQ(Message(m, 20, r), "The value provided for Group 2 is not valid.");
    r.code2Text = "1e39";  // a number, but beyond the single range
    EXPECT_EQ(Message(m, 20, r), "The value provided for Group 2 is not valid.");
    r.code2Text = "8";
    EXPECT_EQ(Message(m, 20, r), "There is an insufficient number of observations for Group 1.");
    r.code1Text = "1";
    EXPECT_EQ(Message(m, 20, r), "There is an insufficient number of observations for Group 2.");
    r.code2Text = "1";  // equal codes leave Group 2 empty
    EXPECT_EQ(Message(m, 20, r), "There is an insufficient number of observations for Group 2.");

    DataMatrix flat = m;
    for (int i = 11; i <= 20; ++i) flat(i, 1) = 4;
    r.code2Text = "2";
    EXPECT_EQ(Message(flat, 20, r), "ok");
    r.settings.chosenGroup = 2;
    EXPECT_EQ(Message(flat, 20, r), "Group 2 has a zero variance.");
    for (int i = 1; i <= 10; ++i) flat(i, 1) = 4;
    r.settings.chosenGroup = 1;
    EXPECT_EQ(Message(flat, 20, r), "Group 1 has a zero variance.");

    EXPECT_EQ(Message(DataMatrix(), 0, Request()),
              "There is an insufficient number of observations for Group 1.");
}

TEST(RunEffectSizeAnalysis, OverflowNamesWhatAndWhere) {
    DataMatrix m = TwoGroups();
    m(13, 1) = 1e20f;
    EXPECT_EQ(Message(m, 20, Request()),
              "The variance of Var 1 in Group 2 is too large for this analysis.");

    // A nearly zero variance of the chosen group against a large difference of the means.
    DataMatrix near = TwoGroups();
    for (int i = 1; i <= 10; ++i) near(i, 1) = i % 2 ? 1e-20f : 0.0f;
    for (int i = 11; i <= 20; ++i) near(i, 1) = 1e19f + static_cast<float>(i) * 1e13f;
    EXPECT_EQ(Message(near, 20, Request()),
              "Cohen's D cannot be shown: Group 1's variance is too small against the "
              "difference of the means.");
    EffectSizeRequest second = Request();
    second.settings.chosenGroup = 2;
    EXPECT_EQ(Message(near, 20, second), "ok");
}

TEST(ChooseGroups, TextVariablesByTheirLabelsOnly) {
    // Code 1 reads "2" and code 2 reads "1": a typed number is a label here, never a code.
    const DataSet data = WithFacts(Text({"2", "1", "control"}));
    auto chosen = ChooseGroups(data, 2, " 1 ", "2\t");
    ASSERT_TRUE(chosen.ok());
    EXPECT_EQ(chosen->code1, 2.0f);
    EXPECT_EQ(chosen->code2, 1.0f);
    EXPECT_TRUE(chosen->labelled);
    EXPECT_EQ(chosen->label1, "1");
    EXPECT_EQ(ChoiceFailure(data, "control", "3"),
              "The value provided for Group 2 is not valid. Var 2 (group) holds: 2, 1, control.");
    EXPECT_EQ(ChoiceFailure(data, "Control", "1"),
              "The value provided for Group 1 is not valid. Var 2 (group) holds: 2, 1, control.");

    std::vector<std::string> many;
    for (int i = 1; i <= 11; ++i) many.push_back("g" + std::to_string(i));
    EXPECT_EQ(ChoiceFailure(WithFacts(Text(many)), "g1", "x"),
              "The value provided for Group 2 is not valid. Var 2 (group) holds: g1, g2, g3, g4, "
              "g5, g6, g7, g8, g9, g10, \xE2\x80\xA6");
}

TEST(ChooseGroups, LabelledNumbersByCodeOrLabel) {
    VariableFacts f;
    f.kind = VariableKind::LabelledNumbers;
    f.labels = {{1, "control"}, {2.5f, "treatment"}};
    const DataSet data = WithFacts(f);
    auto chosen = ChooseGroups(data, 2, " treatment ", "1");
    ASSERT_TRUE(chosen.ok());
    EXPECT_EQ(chosen->code1, 2.5f);
    EXPECT_EQ(chosen->code2, 1.0f);
    EXPECT_EQ(chosen->label2, "control");
    // A code without a label of its own is called by its number.
    chosen = ChooseGroups(data, 2, "7", "control");
    ASSERT_TRUE(chosen.ok());
    EXPECT_EQ(chosen->label1, "7");
    EXPECT_EQ(ChoiceFailure(data, "placebo", "1"),
              "The value provided for Group 1 is not valid. Var 2 (group) holds: 1 (control), "
              "2.5 (treatment).");

    // Plain numbers: a number as always, no labels, no list.
    chosen = ChooseGroups(WithFacts({}), 2, " 2 ", "1");
    ASSERT_TRUE(chosen.ok());
    EXPECT_FALSE(chosen->labelled);
    EXPECT_EQ(ChoiceFailure(WithFacts({}), "control", "1"),
              "The value provided for Group 1 is not valid.");
}

TEST(RunEffectSizeAnalysis, GroupsByNameRunAsTheirCodes) {
    EffectSizeRequest byName = Request();
    byName.code1Text = "control";
    byName.code2Text = " treatment";
    const DataSet named = WithFacts(Text({"control", "treatment"}));
    auto out = RunEffectSizeAnalysis(named, byName, 2026, {});
    ASSERT_TRUE(out.ok()) << Text(out.error());
    const DataSet coded = WithFacts({});
    std::string expected = BuildReport(RunEffectSizeAnalysis(coded, Request(), 2026, {}).value());
    const std::string line = "Grp Var = Var 2 (group)\r\n";
    expected.insert(expected.find(line) + line.size(),
                    "Group 1 = control; Group 2 = treatment\r\n");
    EXPECT_EQ(BuildReport(out.value()), expected);

    const std::string title = MakeBootstrapDistributions(out.value()).of(EstimateKind::D).title;
    EXPECT_EQ(title.find("Cohen's D: Var 1 (score) by Var 2 (group), groups control and "
                         "treatment, 600 of 600 trials"),
              0u)
        << title;
}

TEST(RunEffectSizeAnalysis, TextAsTheDependentVariable) {
    VariableFacts score = Text({"12,5"});
    score.firstText = "12,5";
    score.firstTextRow = 8;
    const DataSet data = WithFacts({}, score);
    EffectSizeRequest r = Request();
    r.grouping = kNone;
    EXPECT_EQ(Text(RunEffectSizeAnalysis(data, r, 1, {}).error()),
              "A grouping variable must be selected.");
    // Before the group values are read.
    r.grouping = 2;
    r.code1Text = "x";
    auto out = RunEffectSizeAnalysis(data, r, 1, {});
    ASSERT_FALSE(out.ok());
    EXPECT_EQ(Text(out.error()),
              "Var 1 (score) holds text (\"12,5\" in row 8), so it cannot be the dependent "
              "variable.");
}
