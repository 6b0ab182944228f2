// SPSS, Stata and SAS files, as ReadStat's writer and R's haven write them (see
// tests/data/written-by/make_files.sh): every writer's file of the same cases reads the same.
#include <gtest/gtest.h>
#include <readstat.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "DataSetColumns.h"
#include "TempFiles.h"
#include "common/Single.h"
#include "data/formats/stats/ReadStatisticsFile.h"
#include "data/formats/stats/StatValueText.h"
#include "data/import/ImportDataFile.h"

using namespace corvane;
using namespace corvane::test;

namespace {

constexpr float M = kMissing;

struct Written {
    const char* file;
    StatFileKind kind;
    bool labels;  // SAS files keep no value labels
};

const Written kWritten[] = {
    {"readstat.sav", StatFileKind::SpssData, true},
    {"readstat.zsav", StatFileKind::SpssCompressed, true},
    {"readstat.por", StatFileKind::SpssPortable, true},
    {"readstat.dta", StatFileKind::Stata, true},
    {"readstat.xpt", StatFileKind::SasTransport, false},
    {"readstat.sas7bdat", StatFileKind::SasData, false},
    {"haven.sav", StatFileKind::SpssData, true},
    {"haven.zsav", StatFileKind::SpssCompressed, true},
    {"haven.dta", StatFileKind::Stata, true},
    {"haven.xpt", StatFileKind::SasTransport, false},
};

ssize_t WriteBytes(const void* bytes, size_t len, void* ctx) {
    return static_cast<ssize_t>(std::fwrite(bytes, 1, len, static_cast<std::FILE*>(ctx)));
}

// An .sav as ReadStat writes it: `variables` numbers wide, two cases of v, v + 0.5 in each.
std::string WriteWideSav(const std::string& path, std::int32_t variables) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    readstat_writer_t* w = readstat_writer_init();
    readstat_set_data_writer(w, WriteBytes);
    std::vector<readstat_variable_t*> added;
    for (std::int32_t v = 1; v <= variables; ++v)
        added.push_back(
            readstat_add_variable(w, ("v" + std::to_string(v)).c_str(), READSTAT_TYPE_DOUBLE, 0));
    bool ok = readstat_begin_writing_sav(w, out, 2) == READSTAT_OK;
    for (int c = 0; ok && c < 2; ++c) {
        ok = readstat_begin_row(w) == READSTAT_OK;
        for (std::int32_t v = 0; ok && v < variables; ++v)
            ok = readstat_insert_double_value(w, added[static_cast<std::size_t>(v)],
                                              v + 1 + c * 0.5) == READSTAT_OK;
        ok = ok && readstat_end_row(w) == READSTAT_OK;
    }
    ok = ok && readstat_end_writing(w) == READSTAT_OK;
    readstat_writer_free(w);
    std::fclose(out);
    EXPECT_TRUE(ok) << path;
    return path;
}

// An SPSS data file of one string variable holding `values`, case by case.
std::string WriteTextSav(const std::string& path, const std::vector<std::string>& values) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    readstat_writer_t* w = readstat_writer_init();
    readstat_set_data_writer(w, WriteBytes);
    readstat_variable_t* site = readstat_add_variable(w, "site", READSTAT_TYPE_STRING, 16);
    bool ok = readstat_begin_writing_sav(w, out, static_cast<long>(values.size())) == READSTAT_OK;
    for (const std::string& v : values) {
        ok = ok && readstat_begin_row(w) == READSTAT_OK &&
             readstat_insert_string_value(w, site, v.c_str()) == READSTAT_OK &&
             readstat_end_row(w) == READSTAT_OK;
    }
    ok = ok && readstat_end_writing(w) == READSTAT_OK;
    readstat_writer_free(w);
    std::fclose(out);
    EXPECT_TRUE(ok) << path;
    return path;
}

}  // namespace

// A string holding a control character is an invalid entry, as in a text file or a workbook;
// case 2 is the file's row 3, as the names make row 1.
TEST(StatisticsFiles, ControlCharactersAreInvalidEntries) {
    TempDir dir;
    const auto plain =
        ReadStatisticsFile(WriteTextSav(dir.path() + "/plain.sav", {"north", "a\tb"}));
    ASSERT_TRUE(plain.ok()) << plain.error().reason;
    EXPECT_EQ(test::Labels(plain.value(), 1), (std::vector<std::string>{"north", "a\tb"}));
    const std::string path = WriteTextSav(dir.path() + "/escape.sav", {"north", "a\x1b[2J"});
    const auto escaped = ReadStatisticsFile(path);
    ASSERT_FALSE(escaped.ok());
    EXPECT_EQ(ImportErrorText(escaped.error(), path),
              "Row 3 of Column 1 has an invalid entry for analysis.");
}

TEST(StatisticsFiles, EveryWriterGivesTheSameData) {
    for (const Written& w : kWritten) {
        SCOPED_TRACE(w.file);
        const auto r = ReadStatisticsFile(WrittenBy(w.file));
        ASSERT_TRUE(r.ok()) << ImportErrorText(r.error(), w.file);
        const DataSet& d = r.value();
        ASSERT_EQ(d.cases(), 5);
        ASSERT_EQ(d.variables(), 5);
        // The portable format keeps names in capitals.
        const bool capitals = w.kind == StatFileKind::SpssPortable;
        const std::vector<std::string> names =
            capitals ? std::vector<std::string>{"GROUP", "SCORE", "SITE", "VISIT", "STAMP"}
                     : std::vector<std::string>{"group", "score", "site", "visit", "stamp"};
        EXPECT_EQ(d.names(), names);

        // User-missing codes, ranges and tagged missing values are missing, and so are their
        // labels: "no answer" labels the code 9 or .a.
        EXPECT_EQ(Column(d, 1), (std::vector<float>{1, 2, 1, 2, M}));
        EXPECT_EQ(Column(d, 2), (std::vector<float>{1.5f, 2.25f, M, M, 3}));
        if (w.labels) {
            EXPECT_EQ(d.facts(1).kind, VariableKind::LabelledNumbers);
            EXPECT_EQ(Labels(d, 1), (std::vector<std::string>{"control", "treatment"}));
            EXPECT_EQ(d.codeOf(1, "treatment"), 2.0f);
        } else {
            EXPECT_EQ(d.facts(1).kind, VariableKind::Numbers);
        }
        EXPECT_EQ(d.facts(2).kind, VariableKind::Numbers);

        // Strings: codes by first appearance, the empty string missing.
        EXPECT_TRUE(d.isText(3));
        EXPECT_EQ(Column(d, 3), (std::vector<float>{1, 2, M, 1, 3}));
        EXPECT_EQ(Labels(d, 3), (std::vector<std::string>{"north", "south", "east"}));
        EXPECT_EQ(d.facts(3).firstText, "north");
        EXPECT_EQ(d.facts(3).firstTextRow, 2);

        EXPECT_TRUE(d.isText(4));
        EXPECT_EQ(Column(d, 4), (std::vector<float>{1, 2, M, 3, 4}));
        EXPECT_EQ(Labels(d, 4), (std::vector<std::string>{"2024-03-01", "2024-03-02", "1999-12-31",
                                                          "2024-02-29"}));
        EXPECT_TRUE(d.isText(5));
        EXPECT_EQ(Labels(d, 5),
                  (std::vector<std::string>{"2024-03-01 08:30:00", "2024-03-02 01:00:00",
                                            "1970-01-01 23:59:59", "1999-12-31 00:00:00",
                                            "2024-02-29 12:34:56"}));

        // The format shows in the content whatever the extension says.
        EXPECT_EQ(
            SniffStatisticsFile(FileBytes(WrittenBy(w.file)).substr(0, kStatSniffBytes), "x.csv"),
            w.kind);
    }
}

TEST(StatisticsFiles, FormatByExtensionOnlyWhenTheContentTellsNone) {
    EXPECT_EQ(SniffStatisticsFile("anything", "/data/trial.SAV"), StatFileKind::SpssData);
    EXPECT_EQ(SniffStatisticsFile("anything", "sas7bdat"), StatFileKind::SasData);
    EXPECT_EQ(SniffStatisticsFile("group,score\n", "trial.csv"), StatFileKind::None);
    EXPECT_EQ(SniffStatisticsFile("$FL2", "trial.dta"), StatFileKind::SpssData);
}

// "Read as:" names the format, from its row of the registry, and counts the variables.
TEST(StatisticsFiles, Description) {
    const auto sav = ImportDataFile(WrittenBy("readstat.sav"), kDetectFormat);
    ASSERT_TRUE(sav.ok());
    EXPECT_EQ(sav.value().readAs(), "SPSS data file, 5 variables, 1 with value labels");
    EXPECT_EQ(sav.value().source(), DataSource::StatisticsFile);
    const auto xpt = ImportDataFile(WrittenBy("readstat.xpt"), kDetectFormat);
    ASSERT_TRUE(xpt.ok());
    EXPECT_EQ(xpt.value().readAs(), "SAS transport file, 5 variables");
}

TEST(StatisticsFiles, DatesAndTimesAtTheirEdges) {
    EXPECT_EQ(TemporalKindOf(StatFileKind::SpssData, "DATETIME23.2"), TemporalKind::DateTime);
    EXPECT_EQ(TemporalKindOf(StatFileKind::Stata, "%tdDD/NN/CCYY"), TemporalKind::Date);
    EXPECT_EQ(TemporalKindOf(StatFileKind::SasData, "YYMMDDN8."), TemporalKind::Date);
    EXPECT_EQ(TemporalKindOf(StatFileKind::SpssData, "F8.2"), TemporalKind::None);
    // Before the epoch, a day starts at its midnight, not after it.
    EXPECT_EQ(TemporalText(StatFileKind::Stata, TemporalKind::DateTime, -1.0),
              "1959-12-31 23:59:59.999");
    EXPECT_EQ(TemporalText(StatFileKind::SasData, TemporalKind::Date, -1.0), "1959-12-31");
    EXPECT_EQ(TemporalText(StatFileKind::SpssData, TemporalKind::Time, 90061.5), "25:01:01.5");
    EXPECT_EQ(TemporalText(StatFileKind::SpssData, TemporalKind::Time, -30.0), "-00:00:30");
    EXPECT_EQ(TemporalText(StatFileKind::SasData, TemporalKind::Date, 1e12), "1e+12");
}

TEST(StatisticsFiles, DamagedAndHostileFilesFailWithAReason) {
    const auto large = ReadStatisticsFile(WrittenBy("readstat_large.sav"));
    ASSERT_FALSE(large.ok());
    EXPECT_EQ(large.error().kind, ImportError::Kind::NumberTooLarge);
    EXPECT_EQ(large.error().row, 3);
    EXPECT_EQ(large.error().column, 1);

    // A file whose content is not the format its name says names what it holds.
    TempDir dir;
    const struct {
        const char* name;
        std::string bytes;
        const char* reason;
    } misnamed[] = {
        {"junk.sav", "not a data file at all",
         "the file is named .sav but holds text, not an SPSS data file"},
        {"groups.dta", "group score\n1 2\n",
         "the file is named .dta but holds text, not a Stata data file"},
        {"zeros.sav", std::string(600, '\0'),
         "the file is named .sav but is not an SPSS data file"},
    };
    for (const auto& m : misnamed) {
        const auto r = ReadStatisticsFile(dir.file(m.name, m.bytes));
        ASSERT_FALSE(r.ok()) << m.name;
        EXPECT_EQ(r.error().reason, m.reason);
    }

    // A file cut short says so, whichever format (a portable file, which is text, says that
    // it is invalid). The first bytes alone may not tell the format: then only a reason.
    for (const Written& w : kWritten) {
        const std::string bytes = FileBytes(WrittenBy(w.file));
        for (std::size_t cut : {std::size_t{4}, bytes.size() / 3, bytes.size() - 1}) {
            SCOPED_TRACE(std::string(w.file) + " cut at " + std::to_string(cut));
            const auto r = ReadStatisticsFile(dir.file(w.file, bytes.substr(0, cut)), w.kind);
            if (r.ok()) continue;
            EXPECT_EQ(r.error().kind, ImportError::Kind::Unreadable);
            EXPECT_FALSE(r.error().reason.empty());
            if (cut > 4 && w.kind != StatFileKind::SpssPortable) {
                EXPECT_EQ(r.error().reason, "the file ends before its data does");
            }
        }
    }

    // A Stata header that claims 65535 variables it does not hold fails with a reason.
    std::string wide = FileBytes(WrittenBy("readstat.dta"));
    wide.replace(wide.find("<K>") + 3, 2, "\xff\xff");
    const auto tooWide = ReadStatisticsFile(dir.file("wide.dta", wide));
    ASSERT_FALSE(tooWide.ok());
    EXPECT_EQ(tooWide.error().kind, ImportError::Kind::Unreadable);
    EXPECT_FALSE(tooWide.error().reason.empty());

    // A header that claims 2^31 - 1 cases reserves nothing from the claim.
    std::string claims = FileBytes(WrittenBy("readstat.sav"));
    claims.replace(80, 4, "\xff\xff\xff\x7f");
    const auto r = ReadStatisticsFile(dir.file("claims.sav", claims));
    if (r.ok()) {
        EXPECT_EQ(r.value().cases(), 5);
    } else {
        EXPECT_EQ(r.error().kind, ImportError::Kind::Unreadable);
    }
}

TEST(StatisticsFiles, AsManyVariablesAsADataSetHoldsAndOneMore) {
    TempDir dir;
    constexpr std::int32_t kMax = DataMatrix::kMaxVariables;
    const auto widest = ReadStatisticsFile(WriteWideSav(dir.path() + "/widest.sav", kMax));
    ASSERT_TRUE(widest.ok()) << widest.error().reason;
    EXPECT_EQ(widest.value().variables(), kMax);
    EXPECT_EQ(widest.value().cases(), 2);
    EXPECT_EQ(widest.value().names().back(), "v100000");
    EXPECT_EQ(widest.value().matrix()(2, kMax), 100000.5f);

    const std::string path = WriteWideSav(dir.path() + "/wider.sav", kMax + 1);
    const auto wider = ReadStatisticsFile(path);
    ASSERT_FALSE(wider.ok());
    EXPECT_EQ(ImportErrorText(wider.error(), path),
              "Row 1 has more than 100000 fields; a data set holds at most 100000 variables.");
}
