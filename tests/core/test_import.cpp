#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "TempFiles.h"
#include "common/Single.h"
#include "data/FieldClassifier.h"
#include "data/formats/ImportSummary.h"
#include "data/import/ImportDataFile.h"
#include "data/modGeneral.h"

using namespace corvane;

namespace {

struct Shape {
    const char* name;
    std::string bytes;
    char delimiter;
    std::int32_t cases, variables;
    std::vector<std::vector<float>> cells;  // rows 1..cases, columns 1..variables
};

constexpr float M = kMissing;

}  // namespace

TEST(ImportDataFile, FileShapes) {
    const Shape shapes[] = {
        {"empty file", "", ' ', 0, 0, {}},
        {"one line end", "\r\n", ' ', 1, 0, {{}}},
        {"no final line end", "1 2\r\n3 4", ' ', 2, 2, {{1, 2}, {3, 4}}},
        {"final line end adds no line", "1 2\r\n3 4\r\n", ' ', 2, 2, {{1, 2}, {3, 4}}},
        {"blank last line", "1\r\n\r\n", ' ', 2, 1, {{1}, {M}}},
        {"lone CR", "1\r2\r", ' ', 2, 1, {{1}, {2}}},
        {"lone LF", "1\n2\n", ' ', 2, 1, {{1}, {2}}},
        {"mixed line ends", "1\r\n2\n3\r4", ' ', 4, 1, {{1}, {2}, {3}, {4}}},
        {"LF CR is two line ends", "1\n\r2", ' ', 3, 1, {{1}, {M}, {2}}},
        {"two spaces make an empty field", "1  3", ' ', 1, 3, {{1, M, 3}}},
        {"leading space", " 5", ' ', 1, 2, {{M, 5}}},
        {"trailing delimiter", "1,2,", ',', 1, 3, {{1, 2, M}}},
        {"comma delimited", "1.5,.,-2", ',', 1, 3, {{1.5f, M, -2}}},
        {"tab delimited", "1\t 2 \t&H10", '\t', 1, 3, {{1, 2, 16}}},
        {"space field with comma", "1, ,3", ',', 1, 3, {{1, M, 3}}},
        {"spaces around comma fields are no part of them",
         "1,  , . , 2 ",
         ',',
         1,
         4,
         {{1, M, M, 2}}},
        {"ragged lines", "1\r\n1 2 3\r\n1 2", ' ', 3, 3, {{1, M, M}, {1, 2, 3}, {1, 2, M}}},
        {"the missing code", "9999999 1", ' ', 1, 2, {{M, 1}}},
        {"underflow stores zero", "1e-50", ' ', 1, 1, {{0}}},
    };
    TempDir dir;
    for (const Shape& s : shapes) {
        SCOPED_TRACE(s.name);
        auto r = ImportDataFile(dir.file("data.txt", s.bytes), s.delimiter);
        ASSERT_TRUE(r.ok()) << ImportErrorText(r.error(), "data.txt");
        const DataSet& d = r.value();
        EXPECT_EQ(d.cases(), s.cases);
        EXPECT_EQ(d.variables(), s.variables);
        EXPECT_TRUE(d.matrix().allocated());
        for (std::size_t i = 0; i < s.cells.size(); ++i) {
            for (std::size_t j = 0; j < s.cells[i].size(); ++j) {
                EXPECT_EQ(d.matrix().at(i + 1, j + 1), s.cells[i][j])
                    << "cell " << i + 1 << "," << j + 1;
            }
        }
        // Row 0, column 0 and the columns past the file's read 0.
        EXPECT_EQ(d.matrix().at(0, 1), 0.0f);
        EXPECT_EQ(d.matrix().at(1, 0), 0.0f);
        EXPECT_EQ(d.matrix().at(1, 1000), s.variables == 1000 ? d.matrix().at(1, 1000) : 0.0f);
    }
}

TEST(ImportDataFile, Failures) {
    const auto invalid = [](int row, int column) {
        return "Row " + std::to_string(row) + " of Column " + std::to_string(column) +
               " has an invalid entry for analysis.";
    };
    const auto tooWide = [](int row) {
        return "Row " + std::to_string(row) +
               " has more than 100000 fields; a data set holds at most 100000 variables.";
    };
    const struct {
        const char* name;
        std::string bytes;
        char delimiter;
        std::string message;
    } failures[] = {
        {"letters", "1 2\r\n3 x", ' ', "Row 2 of Column 2 has an invalid entry for analysis."},
        {"comma file read with tabs", "1,2", '\t',
         "Row 1 of Column 1 has an invalid entry for analysis."},
        {"beyond single precision", "1\r\n2 3 1e39", ' ',
         "Row 2 of Column 3 holds a number too large for analysis."},
        {"beyond double precision", "1e400", ' ',
         "Row 1 of Column 1 holds a number too large for analysis."},
        {"inf", "inf", ' ', "Row 1 of Column 1 has an invalid entry for analysis."},
        {"100001 fields", "1\r\n" + std::string(100000, ',') + "\r\n", ',', tooWide(2)},
        {"an invalid entry before the long line wins", "1a\r\n" + std::string(100000, ','), ',',
         "Row 1 of Column 1 has an invalid entry for analysis."},
        // Row numbers count the lines of the file, a names line included, and the message
        // names the delimiter a file of one field per line seems to use.
        {"a number makes the first line data", "a 1\r\n2 3", ' ', invalid(1, 1)},
        {"the names line is row 1", "a b\r\n1 2\r\n3 \"x\"y", ' ', invalid(3, 2)},
        {"too many fields after names", "a\r\n" + std::string(100000, ','), ',', tooWide(2)},
        {"comma file read with spaces", "group,score\r\n1,12.5", ' ',
         invalid(2, 1) +
             " The file looks comma-delimited: choose Comma Delimited and import again."},
        {"quoted comma file read with tabs", "\"group\",\"score\"\n1,NA", '\t',
         invalid(1, 1) +
             " The file looks comma-delimited: choose Comma Delimited and import again."},
        {"tab file read with commas", "1\t2\n3\t4", ',',
         invalid(1, 1) + " The file looks tab-delimited: choose Tab Delimited and import again."},
        {"space file read with commas", "a b\n3 4", ',',
         invalid(2, 1) +
             " The file looks space-delimited: choose Space Delimited and import again."},
        {"no hint when the field counts differ", "1,2\n3,4,5", '\t', invalid(1, 1)},
        {"no hint when the chosen delimiter splits", "1 2,3\n4 5,6", ' ', invalid(1, 2)},
        {"unclosed quote", "\"abc,1", ',', invalid(1, 1)},
        {"text after the closing quote", "1,\"a\"b,2", ',', invalid(1, 2)},
        {"infinity is no name", "inf,b", ',', invalid(1, 1)},
        {"a control character is no name", "a\x01,b\n1,2", ',', invalid(1, 1)},
    };
    TempDir dir;
    for (const auto& f : failures) {
        SCOPED_TRACE(f.name);
        const std::string path = dir.file("bad.txt", f.bytes);
        auto r = ImportDataFile(path, f.delimiter);
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(ImportErrorText(r.error(), path), f.message);
    }
}

// A wide survey table: 20000 named columns, the last of them text.
TEST(ImportDataFile, WideTables) {
    constexpr int kColumns = 20000;
    std::string bytes;
    for (int i = 1; i <= kColumns; ++i) bytes += (i > 1 ? ",q" : "q") + std::to_string(i);
    for (const char* last : {"yes", "no", "yes"}) {
        bytes += "\n";
        for (int i = 1; i < kColumns; ++i) bytes += std::to_string(i) + ",";
        bytes += last;
    }
    TempDir dir;
    auto r = ImportDataFile(dir.file("wide.csv", bytes), ',');
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r->variables(), kColumns);
    EXPECT_EQ(r->matrix().at(3, kColumns - 1), kColumns - 1.0f);
    EXPECT_EQ(r->matrix().at(3, kColumns), 1.0f);
    EXPECT_EQ(r->facts(kColumns).labels.size(), 2u);
    EXPECT_FALSE(r->isText(kColumns - 1));
}

TEST(ImportDataFile, UnreadableFiles) {
    TempDir dir;
    auto missing = ImportDataFile(dir.path() + "/nothing-here.txt", ' ');
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().kind, ImportError::Kind::Unreadable);
    EXPECT_NE(ImportErrorText(missing.error(), "x").find("could not be read"), std::string::npos);

    auto directory = ImportDataFile(dir.path(), ' ');
    ASSERT_FALSE(directory.ok());
    EXPECT_EQ(directory.error().kind, ImportError::Kind::Unreadable);
}

TEST(ImportDataFile, LongLinesSpanningReadBlocks) {
    // A CR LF split across the reader's 1 MiB blocks still ends one line.
    TempDir dir;
    std::string first(1 << 20, ' ');
    first.replace(0, 1, "7");
    first[(1 << 20) - 1] = '\r';
    auto r = ImportDataFile(dir.file("long.txt", first + "\n8\r\n"), ',');
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r->cases(), 2);  // not three: the LF belongs to the CR before it
    EXPECT_EQ(r->matrix().at(1, 1), 7.0f);
    EXPECT_EQ(r->matrix().at(2, 1), 8.0f);

    std::string padded = "1" + std::string((1 << 20) - 2, ' ') + "\r\n2";
    auto ok = ImportDataFile(dir.file("padded.txt", padded), ',');
    ASSERT_TRUE(ok.ok());
    EXPECT_EQ(ok->cases(), 2);
    EXPECT_EQ(ok->matrix().at(2, 1), 2.0f);
}

TEST(ImportDataFile, FailureLeavesTheLoadedDataSetAlone) {
    TempDir dir;
    auto first = ImportDataFile(dir.file("good.txt", "1 2\r\n3 4"), ' ');
    ASSERT_TRUE(first.ok());
    modGeneral::Replace(first.value());

    auto failed = ImportDataFile(dir.file("bad.txt", "5 6 7\r\nx"), ' ');
    ASSERT_FALSE(failed.ok());
    EXPECT_EQ(modGeneral::Current()->cases(), 2);
    EXPECT_EQ(modGeneral::Current()->variables(), 2);
    EXPECT_EQ(modGeneral::Current()->matrix().at(1, 1), 1.0f);
    EXPECT_EQ(modGeneral::Current()->matrix().at(2, 2), 4.0f);
}

// Plain decimals take a shorter road than the other number forms; every field must still read
// as the field classification reads it, to the bit, whatever its digits, sign and point.
TEST(ImportDataFile, EveryFieldReadsAsItsClassification) {
    std::mt19937 gen(31337);
    auto digits = [&](int count) {
        std::string d;
        for (int i = 0; i < count; ++i) d += static_cast<char>('0' + gen() % 10);
        return d;
    };
    auto field = [&]() -> std::string {
        const char* signs[] = {"", "", "-", "+"};
        std::string sign = signs[gen() % 4];
        const int before = static_cast<int>(gen() % 12), after = static_cast<int>(gen() % 12);
        switch (gen() % 8) {
            case 0:  // long mantissas, past the 15 digits a double holds exactly
                return sign + digits(1 + static_cast<int>(gen() % 20)) + "." +
                       digits(static_cast<int>(gen() % 20));
            case 1:  // tiny values and leading zeros
                return sign + "0." + std::string(gen() % 14, '0') + digits(1 + gen() % 6);
            case 2:  // the other forms: exponents, spaces around, hexadecimal
            {
                const char* other[] = {"1e5", "-2.5E-3", " 7", "8 ", "&HFF", "&o17", "1.5e+2"};
                return other[gen() % 7];
            }
            case 3:
                return gen() % 2 ? "." : "";  // missing
            case 4:  // halfway between two single-precision neighbours: ties go to even
            {
                const char* halfway[] = {"8388608.5",  "-8388609.5",   "4194304.25",
                                         "4194305.75", "1048576.0625", "65536.00390625",
                                         "+16777217",  "33554434"};
                return halfway[gen() % 8];
            }
            default:
                return sign + digits(before) + (gen() % 3 ? "." : "") + digits(after);
        }
    };
    for (char delimiter : {' ', ','}) {
        std::vector<std::vector<std::string>> lines(400);
        std::string bytes;
        for (auto& line : lines) {
            for (int c = 0; c < 12; ++c) {
                std::string f = field();
                // A field must not hold the delimiter itself, nor be invalid.
                if (f.find(delimiter) != std::string::npos ||
                    ClassifyField(f).kind == FieldKind::Invalid) {
                    f.assign(1, '0');
                }
                bytes += (c ? std::string(1, delimiter) : std::string()) + f;
                line.push_back(f);
            }
            bytes += "\r\n";
        }
        TempDir dir;
        auto set = ImportDataFile(dir.file("numbers.txt", bytes), delimiter);
        ASSERT_TRUE(set.ok());
        ASSERT_EQ(set->cases(), 400);
        for (std::size_t r = 0; r < lines.size(); ++r) {
            for (std::size_t c = 0; c < lines[r].size(); ++c) {
                const FieldClass fc = ClassifyField(lines[r][c]);
                const float expected =
                    fc.kind == FieldKind::Missing ? kMissing : static_cast<float>(fc.value);
                const float got = set->matrix().at(static_cast<std::int32_t>(r + 1),
                                                   static_cast<std::int32_t>(c + 1));
                ASSERT_EQ(std::memcmp(&got, &expected, sizeof got), 0)
                    << "\"" << lines[r][c] << "\" read as " << got << ", not " << expected;
            }
        }
    }
}

TEST(ImportSummary, ThreeLinesAndTwoEmptyOnes) {
    EXPECT_EQ(ImportSummary("/home/a/data.txt", 12, 3),
              "Opened the text file: /home/a/data.txt\r\nNumber of Cases: 12\r\n"
              "Number of Variables: 3\r\n\r\n\r\n");
    EXPECT_EQ(ImportSummary("/home/a/data.txt", 12, 3, true),
              "Opened the text file: /home/a/data.txt\r\nNumber of Cases: 12\r\n"
              "Number of Variables: 3\r\nVariable Names: from the first line\r\n\r\n\r\n");
    EXPECT_EQ(ImportSummary("/a/b.xlsx", 2, 3, true, "Excel workbook", DataSource::Workbook),
              "Opened the workbook: /a/b.xlsx\r\nNumber of Cases: 2\r\nNumber of Variables: 3\r\n"
              "Variable Names: from the first row\r\nRead as: Excel workbook\r\n\r\n\r\n");
    EXPECT_EQ(ImportSummary("/a/b.sav", 2, 3, true, "SPSS data file", DataSource::StatisticsFile),
              "Opened the data file: /a/b.sav\r\nNumber of Cases: 2\r\nNumber of Variables: 3\r\n"
              "Variable Names: from the file\r\nRead as: SPSS data file\r\n\r\n\r\n");
}

// The same data set (group, score; one score missing) as R, pandas and numpy write it, the
// groups as codes or named control and treatment; the files come from
// tests/data/written-by/make_files.sh.
TEST(ImportDataFile, FilesAsOtherProgramsWriteThem) {
    const std::vector<std::string> both = {"group", "score"}, none,
                                   indexed = {"", "group", "score"};
    const std::vector<std::vector<float>> cells = {{1, 12.5f}, {1, 14}, {2, M}, {2, 11.25f}};
    auto numbered = [&](float from) {
        std::vector<std::vector<float>> c = cells;
        for (auto& row : c) row.insert(row.begin(), from++);
        return c;
    };
    const struct {
        const char* file;
        char delimiter;
        std::vector<std::string> names;
        std::vector<std::vector<float>> cells;
    } files[] = {
        {"r_write_csv.csv", ',', indexed, numbered(1)},
        {"r_write_csv_no_row_names.csv", ',', both, cells},
        {"r_write_table.txt", ' ', both, cells},
        {"r_write_table_no_names.txt", ' ', none, cells},
        {"pandas_to_csv.csv", ',', indexed, numbered(0)},
        {"pandas_to_csv_no_index.csv", ',', both, cells},
        {"pandas_utf8_sig_crlf.csv", ',', both, cells},
        {"pandas_tab.txt", '\t', both, cells},
        {"numpy_savetxt.txt", ' ', none, cells},
        {"r_text_write_csv.csv", ',', indexed, numbered(1)},
        {"r_text_write_csv_no_row_names.csv", ',', both, cells},
        {"r_text_write_table.txt", ' ', both, cells},
        {"pandas_text_to_csv.csv", ',', indexed, numbered(0)},
        {"pandas_text_to_csv_no_index.csv", ',', both, cells},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.file);
        const std::string path = std::string(CORVANE_TEST_DATA) + "/written-by/" + f.file;
        auto r = ImportDataFile(path, f.delimiter);
        ASSERT_TRUE(r.ok()) << ImportErrorText(r.error(), path);
        EXPECT_EQ(r->cases(), 4);
        EXPECT_EQ(r->variables(), static_cast<std::int32_t>(f.cells[0].size()));
        EXPECT_EQ(r->names(), f.names);
        for (std::size_t i = 0; i < f.cells.size(); ++i)
            for (std::size_t j = 0; j < f.cells[i].size(); ++j)
                EXPECT_EQ(r->matrix().at(int(i) + 1, int(j) + 1), f.cells[i][j])
                    << i + 1 << "," << j + 1;
        const std::int32_t group = r->variables() - 1;
        if (std::string(f.file).find("text") != std::string::npos) {
            ASSERT_TRUE(r->isText(group));
            EXPECT_EQ(*r->labelOf(group, 2.0f), "treatment");
            EXPECT_EQ(r->facts(group).labels.size(), 2u);
        } else {
            EXPECT_FALSE(r->anyLabels());
        }
    }
}

// R's print() and format() align the columns with runs of spaces; detection reads them as the
// five columns they are, where single spaces would make empty fields and shift the cells.
TEST(ImportDataFile, ColumnsAlignedBySpaces) {
    for (const char* file : {"r_print_aligned.txt", "r_format_aligned.txt"}) {
        SCOPED_TRACE(file);
        const std::string path = std::string(CORVANE_TEST_DATA) + "/dialects/" + file;
        auto r = ImportDataFile(path, kDetectFormat);
        ASSERT_TRUE(r.ok()) << ImportErrorText(r.error(), path);
        EXPECT_EQ(r->readAs(), "columns aligned by spaces");
        EXPECT_EQ(r->names(), (std::vector<std::string>{"id", "group", "age", "score", "rt"}));
        ASSERT_EQ(r->cases(), 60);
        for (std::int32_t i = 1; i <= 60; ++i) {
            EXPECT_EQ(r->matrix().at(i, 1), static_cast<float>(i));
            EXPECT_EQ(*r->labelOf(2, r->matrix().at(i, 2)), i % 2 ? "control" : "treatment");
            EXPECT_TRUE(r->matrix().at(i, 3) >= 18 && r->matrix().at(i, 3) <= 70);
            EXPECT_TRUE(r->matrix().at(i, 5) >= 0.3f && r->matrix().at(i, 5) <= 0.9f);
        }
        EXPECT_EQ(r->matrix().at(7, 4), M);
        EXPECT_EQ(r->matrix().at(1, 4), 76.1f);
        // Chosen by hand, single spaces would shift the cells: refused, not misread.
        auto spaced = ImportDataFile(path, ' ');
        ASSERT_FALSE(spaced.ok());
        EXPECT_EQ(ImportErrorText(spaced.error(), path),
                  "The file looks aligned by spaces: import it with File > Import Data File..., "
                  "which detects its format.");
    }
}

// A file of R's own format is detected as one rather than read as text, and a NUL or another
// control character never becomes part of a label.
TEST(ImportDataFile, BinaryFilesAndControlCharacters) {
    const std::string rds =
        std::string(CORVANE_TEST_DATA) + "/written-by/r_saverds_uncompressed.rds";
    auto r = ImportDataFile(rds, kDetectFormat);
    ASSERT_TRUE(r.ok()) << ImportErrorText(r.error(), rds);
    EXPECT_EQ(r.value().readAs(), "R data file");
    EXPECT_EQ(r.value().cases(), 4);
    EXPECT_EQ(r.value().variables(), 2);
    // Chosen by hand, the delimiter reads the file as text: a field holding a NUL or an escape is
    // an invalid entry. Detected, a NUL makes the file binary; an escape is an invalid entry.
    TempDir dir;
    for (const std::string& field : {std::string("treatment\0\0", 11), std::string("a\x1b[2J")}) {
        const std::string path = dir.file("nul.csv", "group,score\ncontrol,1\n" + field + ",2\n");
        for (const char delimiter : {',', kDetectFormat}) {
            auto t = ImportDataFile(path, delimiter);
            ASSERT_FALSE(t.ok());
            const bool binary = delimiter == kDetectFormat && field[0] == 't';
            EXPECT_EQ(ImportErrorText(t.error(), path),
                      binary ? "The file could not be read: " + path +
                                   " (it is neither a text file nor a data format Corvane reads)."
                             : "Row 3 of Column 1 has an invalid entry for analysis.");
        }
    }
}

// Data frames R ships: their text columns and row names become text variables.
TEST(ImportDataFile, DataFramesRShips) {
    const struct {
        const char* file;
        std::int32_t cases, variables, text;
        std::vector<std::string> labels;  // the first three
    } files[] = {
        {"r_iris.csv", 150, 5, 5, {"setosa", "versicolor", "virginica"}},
        {"r_toothgrowth.csv", 60, 3, 2, {"VC", "OJ"}},
        {"r_mtcars.csv", 32, 12, 1, {"Mazda RX4", "Mazda RX4 Wag", "Datsun 710"}},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.file);
        const std::string path = std::string(CORVANE_TEST_DATA) + "/written-by/" + f.file;
        auto r = ImportDataFile(path, ',');
        ASSERT_TRUE(r.ok()) << ImportErrorText(r.error(), path);
        EXPECT_EQ(r->cases(), f.cases);
        EXPECT_EQ(r->variables(), f.variables);
        for (std::int32_t v = 1; v <= f.variables; ++v) EXPECT_EQ(r->isText(v), v == f.text);
        const auto& labels = r->facts(f.text).labels;
        ASSERT_GE(labels.size(), 2u);
        for (std::size_t k = 0; k < std::min<std::size_t>(3, labels.size()); ++k)
            EXPECT_EQ(labels[k].text, f.labels[k]);
        EXPECT_EQ(r->matrix().at(f.cases, f.text), static_cast<float>(labels.size()));
    }
}

TEST(ImportDataFile, NamesLinesAndQuotedFields) {
    const struct {
        const char* name;
        std::string bytes;
        char delimiter;
        std::vector<std::string> names;
        std::int32_t cases, variables;
        std::vector<std::vector<float>> cells;
    } shapes[] = {
        {"only empty fields are data", ",\r\n1,2", ',', {}, 2, 2, {{M, M}, {1, 2}}},
        {"missing forms of other programs in a table",
         "a b c d\nN/A n/a NULL null\nNone #N/A <NA> -nan\n1 2 3 4",
         ' ',
         {"a", "b", "c", "d"},
         3,
         4,
         {{M, M, M, M}, {M, M, M, M}, {1, 2, 3, 4}}},
        {"quoted delimiter and doubled quotes",
         "\"a,b\",\"say \"\"hi\"\"\"\r\n\"1\",\"\"",
         ',',
         {"a,b", "say \"hi\""},
         1,
         2,
         {{1, M}}},
        {"quoted space with the space delimiter",
         "\"my var\" x\r\n1 2",
         ' ',
         {"my var", "x"},
         1,
         2,
         {{1, 2}}},
        {"a quoted name may start with a digit", "\"2nd\"\r\n5", ' ', {"2nd"}, 1, 1, {{5}}},
        {"names line wider than the data", "a,b,c\r\n1", ',', {"a", "b", "c"}, 1, 3, {{1, M, M}}},
        {"names line alone", "score", ' ', {"score"}, 0, 1, {}},
        {"non-ASCII and point names",
         "\xC3\xA9t\xC3\xA9 .x _y",
         ' ',
         {"\xC3\xA9t\xC3\xA9", ".x", "_y"},
         0,
         3,
         {}},
        {"NA, NaN and nan are missing", "NA NaN nan 1", ' ', {}, 1, 4, {{M, M, M, 1}}},
        {"byte-order mark then data",
         "\xEF\xBB\xBF"
         "1,2",
         ',',
         {},
         1,
         2,
         {{1, 2}}},
    };
    TempDir dir;
    for (const auto& s : shapes) {
        SCOPED_TRACE(s.name);
        const std::string path = dir.file("data.txt", s.bytes);
        auto r = ImportDataFile(path, s.delimiter);
        ASSERT_TRUE(r.ok()) << ImportErrorText(r.error(), path);
        EXPECT_EQ(r->names(), s.names);
        EXPECT_EQ(r->cases(), s.cases);
        EXPECT_EQ(r->variables(), s.variables);
        for (std::size_t i = 0; i < s.cells.size(); ++i)
            for (std::size_t j = 0; j < s.cells[i].size(); ++j)
                EXPECT_EQ(r->matrix().at(int(i) + 1, int(j) + 1), s.cells[i][j])
                    << i + 1 << "," << j + 1;
    }
}

// The second pass cuts the file into pieces read on several threads: every thread count and
// piece size gives the data set, or the first fault in file order, of reading it front to back.
TEST(ImportDataFile, EveryThreadCountAndPieceSizeReadsAlike) {
    std::mt19937 gen(4242);
    const char* ends[] = {"\r\n", "\n", "\r"};
    std::string bytes = "\xEF\xBB\xBF\"id\",score,\r\n";
    for (int line = 2; line <= 400; ++line) {
        if (gen() % 20 == 0) {
            bytes += ends[gen() % 3];  // a blank line
            continue;
        }
        bytes += "\"" + std::to_string(line) + "\"," + std::to_string(gen() % 1000) + "." +
                 std::to_string(gen() % 100) + (gen() % 5 ? "," : ",NA") + ends[gen() % 3];
    }
    TempDir dir;
    const std::string good = dir.file("good.txt", bytes);
    auto reference = ImportDataFile(good, ',', {1, INT64_MAX});
    ASSERT_TRUE(reference.ok()) << ImportErrorText(reference.error(), good);
    ASSERT_EQ(reference->names(), (std::vector<std::string>{"id", "score", ""}));

    // Faults at three places: the first one (a number too large on line 120) wins. A broken
    // quote stays a fault in a table, where a text would make a text column.
    std::string faulty = bytes;
    auto breakLine = [&](int lineNumber, const std::string& field) {
        std::size_t at = 0;
        for (int l = 1; l < lineNumber; ++l) {
            at = faulty.find_first_of("\r\n", at);
            at += faulty.compare(at, 2, "\r\n") == 0 ? 2 : 1;
        }
        faulty.insert(at, field + ",");
    };
    breakLine(300, "\"x\"x");
    breakLine(200, "\"y");
    breakLine(120, "1e39");
    const std::string bad = dir.file("bad.txt", faulty);
    auto badReference = ImportDataFile(bad, ',', {1, INT64_MAX});
    ASSERT_FALSE(badReference.ok());
    EXPECT_EQ(ImportErrorText(badReference.error(), bad),
              "Row 120 of Column 1 holds a number too large for analysis.");

    for (unsigned threads : {1u, 2u, 3u, 8u}) {
        for (std::int64_t piece : {1, 7, 64, 1000}) {
            SCOPED_TRACE(std::to_string(threads) + " threads, pieces of " + std::to_string(piece));
            auto r = ImportDataFile(good, ',', {threads, piece});
            ASSERT_TRUE(r.ok()) << ImportErrorText(r.error(), good);
            EXPECT_EQ(r->cases(), reference->cases());
            EXPECT_EQ(r->variables(), reference->variables());
            EXPECT_EQ(r->names(), reference->names());
            for (std::int32_t i = 1; i <= r->cases(); ++i)
                for (std::int32_t j = 1; j <= r->variables(); ++j)
                    ASSERT_EQ(r->matrix().at(i, j), reference->matrix().at(i, j)) << i << "," << j;

            auto f = ImportDataFile(bad, ',', {threads, piece});
            ASSERT_FALSE(f.ok());
            EXPECT_EQ(ImportErrorText(f.error(), bad), ImportErrorText(badReference.error(), bad));
        }
    }

    // A file rewritten between the passes so that the pieces no longer start at line starts.
    ImportOptions rewriting{2, 4};
    rewriting.betweenPasses = [](const std::string& p) {
        std::ofstream(p, std::ios::binary) << "1 2\n33 4\n5 6\n7 8\n";
    };
    const std::string moving = dir.file("moving.txt", "1 2\n3 4\n5 6\n7 8\n");
    auto moved = ImportDataFile(moving, ' ', rewriting);
    ASSERT_FALSE(moved.ok());
    EXPECT_EQ(moved.error().kind, ImportError::Kind::FileChanged);
}

// A table's text columns: labels in the order of first appearance in the file, numbers of a text
// column among them, missing forms missing, the same codes for every thread count and piece size,
// however late in the file a column's first text comes.
TEST(ImportDataFile, TextColumnsCodeTheirLabelsInFileOrder) {
    std::mt19937 gen(1818);
    const char* groups[] = {"1", "2", "control", "\"treat,ment\"", "NA", "N/A", "", "None"};
    const char* missing[] = {"", "NA", "N/A", "None"};
    std::string bytes = "id,group,score\n";
    std::vector<std::vector<std::string>> texts(2);  // group and score, as the file has them
    for (int line = 2; line <= 300; ++line) {
        std::string group = groups[gen() % (line < 150 ? 2 : 8)];
        std::string score = std::to_string(gen() % 50);
        if (line == 280) score = "\"12,5\"";
        if (line == 290) score = "1e39";  // a label in a text column, not a fault
        bytes += std::to_string(line) + "," + group + "," + score + (line % 3 ? "\n" : "\r\n");
        for (std::string* t : {&group, &score})
            if (t->size() > 1 && t->front() == '"') *t = t->substr(1, t->size() - 2);
        texts[0].push_back(group);
        texts[1].push_back(score);
    }
    TempDir dir;
    const std::string path = dir.file("text.csv", bytes);
    for (unsigned threads : {1u, 3u}) {
        for (std::int64_t piece :
             {std::int64_t{1}, std::int64_t{64}, std::int64_t{1000}, INT64_MAX}) {
            SCOPED_TRACE(std::to_string(threads) + " threads, pieces of " + std::to_string(piece));
            auto r = ImportDataFile(path, ',', {threads, piece});
            ASSERT_TRUE(r.ok()) << ImportErrorText(r.error(), path);
            EXPECT_FALSE(r->isText(1));
            EXPECT_EQ(r->matrix().at(1, 1), 2.0f);
            for (std::int32_t v : {2, 3}) {
                std::vector<std::string> labels;
                for (std::int32_t i = 1; i <= r->cases(); ++i) {
                    const std::string& t = texts[v - 2][i - 1];
                    float code = M;
                    if (std::find(std::begin(missing), std::end(missing), t) == std::end(missing)) {
                        auto at = std::find(labels.begin(), labels.end(), t);
                        if (at == labels.end()) at = labels.insert(at, t);
                        code = static_cast<float>(at - labels.begin() + 1);
                    }
                    ASSERT_EQ(r->matrix().at(i, v), code) << i << "," << v;
                }
                ASSERT_TRUE(r->isText(v));
                ASSERT_EQ(r->facts(v).labels.size(), labels.size());
                for (std::size_t k = 0; k < labels.size(); ++k)
                    EXPECT_EQ(r->facts(v).labels[k].text, labels[k]);
            }
            EXPECT_EQ(r->facts(3).firstText, "12,5");
            EXPECT_EQ(r->facts(3).firstTextRow, 280);
        }
    }
}

TEST(DataSet, ReadingAsEmptyKeepsTheMatrixAndNamesWhileClearDropsThem) {
    modGeneral::Replace(DataSet({DataMatrix(2, 1), 2, 1, {"score"}, {}}));
    modGeneral::ReadAsEmpty();
    EXPECT_EQ(modGeneral::Current()->cases(), 0);
    EXPECT_EQ(modGeneral::Current()->variables(), 0);
    EXPECT_TRUE(modGeneral::Current()->matrix().hasCell(2, 1));
    EXPECT_EQ(modGeneral::Current()->names(), std::vector<std::string>{"score"});
    modGeneral::Clear();
    EXPECT_FALSE(modGeneral::Current()->matrix().hasCell(1, 1));
    EXPECT_TRUE(modGeneral::Current()->names().empty());
}
