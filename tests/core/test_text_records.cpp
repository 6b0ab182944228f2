// Delimited text as it is written: records whose quoted fields hold line ends, spaces around
// fields, pipes, and notes above a table, from hand-made bytes and from the files real writers
// make (tests/data/dialects).
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "TempFiles.h"
#include "common/Single.h"
#include "data/import/ImportDataFile.h"

using namespace corvane;

namespace {

constexpr float M = kMissing;

}  // namespace

// A quoted field may hold line ends, as survey exports write free-text answers: the record is
// one case, its text keeps the line ends as the file has them, and messages name the line the
// case starts on.
TEST(ImportDataFile, QuotedFieldsSpanningLines) {
    TempDir dir;
    const std::string table =
        dir.file("survey.csv",
                 "id,comment\r\n1,\"Too long.\r\nDragged.\"\r\n2,\"a\nb\"\"c\"\"\rd\"\r\n3,ok");
    auto r = ImportDataFile(table, ',');
    ASSERT_TRUE(r.ok()) << ImportErrorText(r.error(), table);
    EXPECT_EQ(r->cases(), 3);
    ASSERT_TRUE(r->isText(2));
    EXPECT_EQ(*r->labelOf(2, r->matrix().at(1, 2)), "Too long.\r\nDragged.");
    EXPECT_EQ(*r->labelOf(2, r->matrix().at(2, 2)), "a\nb\"c\"\rd");
    EXPECT_EQ(r->matrix().at(3, 1), 3.0f);

    const auto invalid = [](int row, int column) {
        return "Row " + std::to_string(row) + " of Column " + std::to_string(column) +
               " has an invalid entry for analysis.";
    };
    const struct {
        const char* name;
        std::string bytes;
        std::string message;
    } failures[] = {
        {"a text without names", "1,2\n3,\"4\n5\"\n6,7", invalid(2, 2)},
        {"rows count lines", "a,b\n1,\"x\n\ny\"\n1e39,2",
         "Row 5 of Column 1 holds a number too large for analysis."},
        {"the line a case starts on", "a,b\n1,\"x\ny\"\n2,\"p\nq\"z", invalid(4, 2)},
        {"a quote never closed", "1,2\n3,\"4\n5,6", invalid(2, 2)},
        {"text after the closing quote", "1,\"2\n3\"4,5", invalid(1, 2)},
    };
    for (const auto& f : failures) {
        SCOPED_TRACE(f.name);
        const std::string path = dir.file("bad.csv", f.bytes);
        auto bad = ImportDataFile(path, ',');
        ASSERT_FALSE(bad.ok());
        EXPECT_EQ(ImportErrorText(bad.error(), path), f.message);
    }
}

// Spaces around a field of a comma-, semicolon-, tab- or pipe-delimited file are no part of
// it: names and labels are trimmed, a quoted field keeps its inner spaces, and the space
// delimiter keeps its rule that each space splits.
TEST(ImportDataFile, SpacesAroundFields) {
    TempDir dir;
    for (const char d : {',', ';', '\t', '|'}) {
        SCOPED_TRACE(std::string(1, d));
        const std::string sep(1, d);
        const std::string path = dir.file(
            "padded.txt", " IFLxName" + sep + " group " + sep + "  score\n x " + sep + " \" y \" " +
                              sep + " 3.5 \nx" + sep + "\" y \"" + sep + "  ");
        auto r = ImportDataFile(path, d);
        ASSERT_TRUE(r.ok()) << ImportErrorText(r.error(), path);
        EXPECT_EQ(r->names(), (std::vector<std::string>{"IFLxName", "group", "score"}));
        EXPECT_EQ(r->facts(1).labels.size(), 1u);
        EXPECT_EQ(*r->labelOf(1, 1.0f), "x");
        EXPECT_EQ(*r->labelOf(2, 1.0f), " y ");
        EXPECT_EQ(r->matrix().at(2, 2), 1.0f);
        EXPECT_EQ(r->matrix().at(1, 3), 3.5f);
        EXPECT_EQ(r->matrix().at(2, 3), M);
    }
    auto spaced = ImportDataFile(dir.file("spaced.txt", " a b\n1 2 3"), ' ');
    ASSERT_TRUE(spaced.ok());
    EXPECT_EQ(spaced->names(), (std::vector<std::string>{"", "a", "b"}));
}

// The pieces of the second pass start at record starts: a record spanning lines is read whole
// whatever the piece size and thread count, the codes of a text column are those of reading
// front to back, and the first fault is named by the line its case starts on.
TEST(ImportDataFile, RecordsSpanningLinesAcrossPieces) {
    std::mt19937 gen(2718);
    const char* ends[] = {"\r\n", "\n", "\r"};
    const char* comments[] = {"\"line one\nline two\"", "7",  "",
                              "\"a,\r\nb\"\"c\"\"\"",   "ok", "\"\n\n\""};
    std::string bytes = "id,score,comment\n";
    std::int64_t line = 2, faultLine = 0;
    for (int i = 1; i <= 200; ++i) {
        const std::string comment = comments[gen() % 6];
        const std::string score = i == 150 ? "1e39" : std::to_string(gen() % 100);
        if (i == 150) faultLine = line;
        bytes += std::to_string(i) + "," + score + "," + comment + ends[gen() % 3];
        line += 1 + static_cast<std::int64_t>(std::count(comment.begin(), comment.end(), '\n'));
    }
    TempDir dir;
    const std::string bad = dir.file("bad.csv", bytes);
    const std::string good =
        dir.file("good.csv", std::string(bytes).replace(bytes.find(",1e39,"), 6, ",1,"));
    auto reference = ImportDataFile(good, ',', {1, INT64_MAX});
    ASSERT_TRUE(reference.ok()) << ImportErrorText(reference.error(), good);
    ASSERT_EQ(reference->cases(), 200);
    ASSERT_TRUE(reference->isText(3));
    const std::string fault =
        "Row " + std::to_string(faultLine) + " of Column 2 holds a number too large for analysis.";
    for (unsigned threads : {1u, 2u, 3u}) {
        for (const std::int64_t piece : std::vector<std::int64_t>{1, 5, 64, 1000, INT64_MAX}) {
            SCOPED_TRACE(std::to_string(threads) + " threads, pieces of " + std::to_string(piece));
            auto r = ImportDataFile(good, ',', {threads, piece});
            ASSERT_TRUE(r.ok()) << ImportErrorText(r.error(), good);
            ASSERT_EQ(r->cases(), 200);
            for (std::int32_t i = 1; i <= 200; ++i)
                for (std::int32_t j = 1; j <= 3; ++j)
                    ASSERT_EQ(r->matrix().at(i, j), reference->matrix().at(i, j)) << i << "," << j;
            EXPECT_EQ(r->facts(3).labels.size(), reference->facts(3).labels.size());
            for (std::size_t k = 0; k < r->facts(3).labels.size(); ++k)
                EXPECT_EQ(r->facts(3).labels[k].text, reference->facts(3).labels[k].text);
            auto f = ImportDataFile(bad, ',', {threads, piece});
            ASSERT_FALSE(f.ok());
            EXPECT_EQ(ImportErrorText(f.error(), bad), fault);
        }
    }
}

// Files real writers make (tests/data/dialects): survey answers with line breaks from R and
// pandas, a pipe-delimited export, tab-delimited columns padded with spaces, and a table with
// ten lines of notes above it, which detection skips and a chosen delimiter reads as lines.
TEST(ImportDataFile, LineBreaksPipesPaddingAndNotesAsWritten) {
    const auto path = [](const char* file) {
        return std::string(CORVANE_TEST_DATA) + "/dialects/" + file;
    };
    for (const char* file : {"r_write_csv_survey_multiline.csv", "pandas_survey_multiline.csv"}) {
        SCOPED_TRACE(file);
        for (const char d : {',', kDetectFormat}) {
            auto r = ImportDataFile(path(file), d);
            ASSERT_TRUE(r.ok()) << ImportErrorText(r.error(), path(file));
            EXPECT_EQ(r->cases(), 8);
            EXPECT_EQ(r->matrix().at(8, 3), 74.25f);
            EXPECT_EQ(r->matrix().at(3, 3), M);
            EXPECT_EQ(*r->labelOf(4, r->matrix().at(5, 4)),
                      "Loved it,\n\"really\".\n\nWould do it again.");
            EXPECT_EQ(r->matrix().at(6, 4), M);
        }
    }
    auto pipe = ImportDataFile(path("r_write_table_pipe.txt"), kDetectFormat);
    ASSERT_TRUE(pipe.ok());
    EXPECT_EQ(pipe->readAs(), "pipe-delimited text");
    EXPECT_EQ(pipe->names(), (std::vector<std::string>{"group", "score"}));
    EXPECT_EQ(pipe->matrix().at(4, 2), 80.1f);
    auto chosen = ImportDataFile(path("r_write_table_pipe.txt"), ',');
    ASSERT_FALSE(chosen.ok());
    EXPECT_EQ(chosen.error().kind, ImportError::Kind::MisreadDelimiter);

    auto padded = ImportDataFile(path("r_format_tab_padded.txt"), kDetectFormat);
    ASSERT_TRUE(padded.ok()) << ImportErrorText(padded.error(), path("r_format_tab_padded.txt"));
    EXPECT_EQ(padded->names(), (std::vector<std::string>{"id", "group", "score"}));
    EXPECT_EQ(*padded->labelOf(2, padded->matrix().at(3, 2)), "control");
    EXPECT_EQ(padded->matrix().at(3, 3), M);
    EXPECT_EQ(padded->matrix().at(4, 1), 1234.0f);

    const std::string notes = path("python_csv_notes_above_table.csv");
    auto skipped = ImportDataFile(notes, kDetectFormat);
    ASSERT_TRUE(skipped.ok()) << ImportErrorText(skipped.error(), notes);
    EXPECT_EQ(skipped->readAs(), "comma-delimited text, the first 10 lines (notes) skipped");
    EXPECT_EQ(skipped->names(), (std::vector<std::string>{"region", "group", "score"}));
    EXPECT_EQ(skipped->cases(), 8);
    EXPECT_EQ(skipped->matrix().at(3, 3), M);
    auto asLines = ImportDataFile(notes, ',');
    ASSERT_TRUE(asLines.ok());
    EXPECT_EQ(asLines->cases(), 18);
    // Below skipped notes, messages still count the lines of the file.
    TempDir dir;
    const std::string faulty = dir.file("notes.csv", "Scores\n\na,b\n1,2\n1e39,3\n4,5\n");
    auto fault = ImportDataFile(faulty, kDetectFormat);
    ASSERT_FALSE(fault.ok());
    EXPECT_EQ(ImportErrorText(fault.error(), faulty),
              "Row 5 of Column 1 holds a number too large for analysis.");
}
