#include <gtest/gtest.h>

#include "TempFiles.h"
#include "data/formats/text/TextDialect.h"

using namespace corvane;

namespace {

TextDialect Sniff(std::vector<std::string> lines, char fallback = ' ') {
    return SniffTextDialect(TextSample{std::move(lines), true}, fallback);
}

}  // namespace

TEST(SniffTextDialect, DelimiterAndDecimalComma) {
    // R's write.csv2: semicolons, decimal commas, quoted row names.
    TextDialect d = Sniff({R"("";"group";"score")", R"("1";"control";72,9)",
                           R"("2";"treatment";80,1)", R"("3";"control";NA)"});
    EXPECT_EQ(d.delimiter, ';');
    EXPECT_TRUE(d.decimalComma);
    EXPECT_EQ(DescribeTextDialect(d), "semicolon-delimited text, decimal comma");

    // Commas and semicolons inside quotes do not split.
    d = Sniff({R"(name,score)", R"("a;b, c",1.5)", R"("d;e",2.5)"});
    EXPECT_EQ(d.delimiter, ',');
    EXPECT_FALSE(d.decimalComma);

    // Without a names line, both readings split "1;72,9" in two: the one where the fields read
    // as numbers wins.
    d = Sniff({"1;72,9", "2;80,1", "1;65,0"});
    EXPECT_EQ(d.delimiter, ';');
    EXPECT_TRUE(d.decimalComma);

    // A decimal point anywhere means the commas are not decimal commas.
    d = Sniff({"a\tb", "1,5\t2", "3.5\t4"});
    EXPECT_EQ(d.delimiter, '\t');
    EXPECT_FALSE(d.decimalComma);

    d = Sniff({"group score", "control 72.9", "treatment 80.1"});
    EXPECT_EQ(d.delimiter, ' ');
    EXPECT_EQ(DescribeTextDialect(d), "space-delimited text");

    // Unquoted names with one space each: the comma reading holds the numbers.
    d = Sniff({"Mazda RX4,21", "Datsun 710,22.8", "Valiant X,18.1"});
    EXPECT_EQ(d.delimiter, ',');

    // One column: nothing splits, so the caller's choice stands.
    EXPECT_EQ(Sniff({"score", "1.5", "2.5"}, '\t').delimiter, '\t');
    EXPECT_EQ(Sniff({}, ',').delimiter, ',');
}

TEST(SniffTextDialect, SeparatorLineMarkAndCodePage) {
    TextDialect d = Sniff({"sep=;", "a;b", "1,5;2"});
    EXPECT_TRUE(d.separatorLine);
    EXPECT_EQ(d.delimiter, ';');
    EXPECT_TRUE(d.decimalComma);

    d = Sniff({"\xEF\xBB\xBFscore,group", "1,2"});
    EXPECT_EQ(d.encoding, TextEncoding::Utf8WithMark);
    EXPECT_EQ(d.delimiter, ',');

    // A German spreadsheet's CSV: umlauts as single bytes.
    d = Sniff({"Gr\xF6\xDF\x65;Gruppe", "1,5;K\xE4se", "2,5;Milch"});
    EXPECT_EQ(d.encoding, TextEncoding::Windows1252);
    EXPECT_EQ(DescribeTextDialect(d), "semicolon-delimited text, decimal comma, Windows-1252");
    EXPECT_EQ(Windows1252ToUtf8("Gr\xF6\xDF\x65 \x80 \x93x\x94 \x81"), "Größe € “x” \xC2\x81");
}

TEST(SampleTextFile, WholeLinesFromStartMiddleAndEnd) {
    TempDir dir;
    std::string bytes = "\xEF\xBB\xBFscore;group\r\n";
    for (int i = 0; i < 40000; ++i)
        bytes += std::to_string(i) + ",5;" + std::to_string(i % 2 + 1) + "\r\n";
    bytes += "7,5;2";  // no line end at the end
    auto sample = SampleTextFile(dir.file("big.csv", bytes));
    ASSERT_TRUE(sample.ok());
    const auto& lines = sample.value().lines;
    EXPECT_EQ(lines.front(), "\xEF\xBB\xBFscore;group");
    EXPECT_EQ(lines.back(), "7,5;2");
    EXPECT_LT(lines.size(), 40000u);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& l = lines[i];
        ASSERT_TRUE(l.size() >= 5 && l.find(",5;") != std::string::npos &&
                    (l.back() == '1' || l.back() == '2'))
            << i << ": " << l;
    }
    const TextDialect d = SniffTextDialect(sample.value(), ' ');
    EXPECT_EQ(d.delimiter, ';');
    EXPECT_TRUE(d.decimalComma);
    EXPECT_EQ(d.encoding, TextEncoding::Utf8WithMark);

    EXPECT_FALSE(SampleTextFile(dir.path() + "/none.csv").ok());
}

// Files R and pandas write in the dialects of continental Europe (tests/data/dialects).
TEST(SniffTextDialect, FilesWrittenByRAndPandas) {
    struct Case {
        const char* file;
        char delimiter;
        TextEncoding encoding;
    };
    for (const Case& c : {Case{"r_write_csv2.csv", ';', TextEncoding::Utf8},
                          Case{"r_write_csv2_cp1252.csv", ';', TextEncoding::Windows1252},
                          Case{"r_write_table_tab_decimal_comma.txt", '\t', TextEncoding::Utf8},
                          Case{"pandas_semicolon_decimal_comma.csv", ';', TextEncoding::Utf8},
                          Case{"pandas_cp1252.csv", ';', TextEncoding::Windows1252}}) {
        auto sample = SampleTextFile(std::string(CORVANE_TEST_DATA) + "/dialects/" + c.file);
        ASSERT_TRUE(sample.ok()) << c.file;
        const TextDialect d = SniffTextDialect(sample.value(), ' ');
        EXPECT_EQ(d.delimiter, c.delimiter) << c.file;
        EXPECT_TRUE(d.decimalComma) << c.file;
        EXPECT_EQ(d.encoding, c.encoding) << c.file;
    }
}

// A quoted field may hold line ends: detection reads records, not lines, and a pipe is a
// delimiter as databases export it.
TEST(SniffTextDialect, RecordsAcrossLinesAndPipes) {
    const std::vector<std::string> survey = {"id,score,comment",
                                             "1,72.9,\"Too long.",
                                             "The second part dragged.\"",
                                             "2,65.25,\"Loved it,",
                                             "\"\"really\"\".",
                                             "",
                                             "Would do it again.\"",
                                             "3,70,ok"};
    TextDialect d = Sniff(survey);
    EXPECT_EQ(d.delimiter, ',');
    EXPECT_EQ(d.notesLines, 0);
    EXPECT_TRUE(ReadsAlike(TextSample{survey, true}, d));

    d = Sniff({"AAA|BBB|CCC", "4|5|6", "7|8|9"});
    EXPECT_EQ(d.delimiter, '|');
    EXPECT_EQ(DescribeTextDialect(d), "pipe-delimited text");
    d = Sniff({"sep=|", "a|b", "1,5|2"});
    EXPECT_EQ(DescribeTextDialect(d), "pipe-delimited text, decimal comma");
}

// A window from the middle of a file may start inside a quoted field: its records are read from
// where both readings meet, and a window cut short drops its open last record. Without a quoted
// field that spans lines every line is a record, as it was.
TEST(RecordsOf, WindowsThatStartInsideQuotes) {
    const TextSample sample{{"a,b", "1,\"x", "y\"", "2,z",                      // the start
                             "tail of a text\",3", "4,\"p", "q\"", "7,\"open",  // the middle
                             "5,\"r\"", "6,\"never"},                           // the end
                            true,
                            false,
                            {4, 8}};
    SampleRecords r = RecordsOf(sample, ',', true);
    EXPECT_EQ(r.text,
              (std::vector<std::string>{"a,b", "1,\"x\ny\"", "2,z", "4,\"p\nq\"", "6,\"never"}));
    EXPECT_EQ(r.lines, (std::vector<std::int64_t>{1, 2, 1, 2, 1}));
    EXPECT_EQ(r.fromStart, 3u);

    r = RecordsOf(TextSample{{"a,b", "1,2", "3,4", "5,6"}, true, false, {2}}, ',', true, 1);
    EXPECT_EQ(r.text, (std::vector<std::string>{"1,2", "3,4", "5,6"}));
    // A field never closed at the end ends its record with its line.
    r = RecordsOf(TextSample{{"a,b", "1,\"x", "2,3"}, true}, ',', true);
    EXPECT_EQ(r.text, (std::vector<std::string>{"a,b", "1,\"x", "2,3"}));
}

// Lines of notes above a table are found from the sample; data lines and names lines are not
// notes.
TEST(SniffTextDialect, NotesAboveATable) {
    const struct {
        const char* name;
        std::vector<std::string> lines;
        std::int64_t notes;
    } cases[] = {
        {"titles and a blank line",
         {"Table 3: Scores", "\"Source: survey, 2024\"", "", "group,score", "1,2.5", "2,3.5"},
         3},
        {"notes then data without names", {"Scores by group", "1,2.5,3", "2,3.5,4"}, 1},
        {"a short names line is the table's (row names unnamed)",
         {"group\tscore", "a\t1\t2.5", "b\t2\t3.5"},
         0},
        {"a short line of numbers is data", {"1,2", "1,2,3", "4,5,6"}, 0},
        {"a note as wide as the table", {"Title,,", "a,b,c", "1,2,3"}, 0},
        {"a later line of another shape", {"Title", "a,b", "1,2", "3,4,5", "6,7"}, 0},
        {"every line alike", {"a,b", "1,2"}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TextDialect d = Sniff(c.lines);
        EXPECT_EQ(d.notesLines, c.notes);
        if (c.notes > 0) {
            EXPECT_TRUE(ReadsAlike(TextSample{c.lines, true}, d));
        }
    }
    TextDialect d = Sniff(cases[0].lines);
    EXPECT_EQ(DescribeTextDialect(d), "comma-delimited text, the first 3 lines (notes) skipped");
    d.notesLines = 1;
    EXPECT_EQ(DescribeTextDialect(d), "comma-delimited text, the first line (notes) skipped");
}
