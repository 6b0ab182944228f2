#include <gtest/gtest.h>

#include <string>

#include "GoldenDescriptives.h"
#include "analysis/Descriptives.h"
#include "analysis/render/DescriptivesReport.h"
#include "common/Single.h"

using namespace corvane;

namespace {

DataMatrix Column(std::initializer_list<float> values) {
    DataMatrix m(static_cast<std::int32_t>(values.size()), 1);
    int i = 1;
    for (float v : values) m(i++, 1) = v;
    return m;
}

std::string Report(const DataMatrix& m, std::vector<std::int32_t> vars) {
    auto rows = ComputeDescriptives(m, m.rows(), vars);
    if (!rows.ok()) return AnalysisErrorText(rows.error()).text;
    return BuildDescriptivesReport(rows.value());
}

// The row of the one variable of a report: its fourth line.
std::string Row(const std::string& report) {
    std::size_t at = 0;
    for (int i = 0; i < 4; ++i) at = report.find("\r\n", at) + 2;
    return report.substr(at, report.find("\r\n", at) - at);
}

}  // namespace

TEST(Descriptives, ThreeVariableExampleByteForByte) {
    DataMatrix m(4, 3);
    const float cells[4][3] = {{1, 2.5f, kMissing},
                               {2, kMissing, kMissing},
                               {kMissing, kMissing, kMissing},
                               {3, kMissing, kMissing}};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j) m(i + 1, j + 1) = cells[i][j];
    EXPECT_EQ(Report(m, {1, 2, 3}), test::kThreeVariableReport);
}

TEST(Descriptives, CellTexts) {
    EXPECT_EQ(Row(Report(Column({123456.789f, 123456.789f}), {1})),
              "Var 1      123456.78         0  123456.8  123456.8         2");
    EXPECT_EQ(Row(Report(Column({0.1f, 0.3f}), {1})),
              "Var 1            0.2     0.141       0.1       0.3         2");
    // Zeros left by the import are present values.
    EXPECT_EQ(Row(Report(Column({0, 4}), {1})),
              "Var 1              2     2.828         0         4         2");
    // Where a cut would drop integer digits, a shorter exponent form is written.
    EXPECT_EQ(Row(Report(Column({-123456789.0f}), {1})),
              "Var 1      -1.23E+08         . -1.23E+08 -1.23E+08         1");
    // Nine characters fit as they are.
    EXPECT_EQ(Row(Report(Column({-12345678.0f}), {1})),
              "Var 1      -12345678         . -1.23E+07 -1.23E+07         1");
}

TEST(Descriptives, EqualValuesAndLargeOffsets) {
    // Only equal values give SD 0; no negative estimate can arise.
    EXPECT_EQ(Row(Report(Column({0.1f, 0.1f, 0.1f}), {1})),
              "Var 1            0.1         0       0.1       0.1         3");
    EXPECT_EQ(Row(Report(Column({4000001, 4000002, 4000003, 4000004}), {1})),
              "Var 1      4000002.5     1.291   4000001   4000004         4");
    EXPECT_EQ(Row(Report(Column({1234567.5f, 1234568.75f}), {1})),
              "Var 1      1234568.1     0.884   1234568   1234569         2");
    // Squares of values near the single range fit the double sums.
    EXPECT_EQ(Row(Report(Column({1, 2e19f}), {1})),
              "Var 1          1E+19 1.414E+19         1     2E+19         2");
}

TEST(Descriptives, Failures) {
    EXPECT_EQ(Report(Column({1}), {}), "At least one item must be selected.");
    auto failed = ComputeDescriptives(Column({1}), 1, {});
    ASSERT_FALSE(failed.ok());
    EXPECT_EQ(AnalysisErrorText(failed.error()).title, "Analysis Error");
}

TEST(Descriptives, NamesInTheNameColumn) {
    DataMatrix m(1, 4);
    auto rows = ComputeDescriptives(m, 1, {1, 2, 3, 4});
    ASSERT_TRUE(rows.ok());
    // Cut to 9 characters like every cell, a UTF-8 character counting as one.
    const std::string report = BuildDescriptivesReport(
        rows.value(), {"score", "", "reaction_time", "\xC3\xA9t\xC3\xA9_long_name"});
    const auto line = [](const std::string& name, std::size_t characters) {
        return "\r\n" + name + std::string(19 - characters, ' ') + "0 ";
    };
    EXPECT_NE(report.find(line("score", 5)), std::string::npos) << report;
    EXPECT_NE(report.find(line("Var 2", 5)), std::string::npos);
    EXPECT_NE(report.find(line("reaction_", 9)), std::string::npos);
    EXPECT_NE(report.find(line("\xC3\xA9t\xC3\xA9_long_", 9)), std::string::npos);
    EXPECT_EQ(BuildDescriptivesReport(rows.value(), {}),
              BuildDescriptivesReport(rows.value(), {"", "", "", ""}));
}

TEST(Descriptives, TextVariablesShowTheirCountAlone) {
    DataSet::Contents c;
    c.matrix = DataMatrix(3, 2);
    c.matrix(1, 1) = 1;
    c.matrix(2, 1) = 2;
    c.matrix(3, 1) = kMissing;
    c.cases = 3;
    c.variables = 2;
    c.names = {"group", ""};
    c.facts.resize(2);
    c.facts[0].kind = VariableKind::Text;
    c.facts[0].labels = {{1, "control"}, {2, "treatment"}};
    const DataSet data(std::move(c));
    auto rows = ComputeDescriptives(data, {1, 2});
    ASSERT_TRUE(rows.ok());
    const DescriptiveRow& text = rows.value()[0];
    EXPECT_TRUE(text.text);
    EXPECT_EQ(text.n, 2);
    EXPECT_FALSE(text.mean || text.sd || text.min || text.max);  // null in JSON
    const std::string report = BuildDescriptivesReport(rows.value(), data.names());
    EXPECT_NE(report.find("\r\ngroup" + std::string(54, ' ') + "2\r\n"), std::string::npos)
        << report;
    EXPECT_NE(report.find("\r\nVar 2              0         0         0         0         3\r\n"),
              std::string::npos)
        << report;
}
