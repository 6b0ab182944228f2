// Packed files and UTF-16 text as real writers make them: each reads to the same table, and the
// summary's "Read as:" says how it was packed or encoded.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TempFiles.h"
#include "common/Messages.h"
#include "common/Single.h"
#include "data/import/ImportDataFile.h"
#include "data/import/OtherFormatHint.h"

using namespace corvane;

namespace {

std::string Packed(const std::string& file) {
    return std::string(CORVANE_TEST_DATA) + "/packed/" + file;
}

// The table of tests/data/packed/make_packed.py.
void ExpectTheTable(const DataSet& d) {
    ASSERT_EQ(d.cases(), 4);
    ASSERT_EQ(d.variables(), 3);
    EXPECT_EQ(d.names(), (std::vector<std::string>{"site", "visits", "score"}));
    ASSERT_TRUE(d.isText(1));
    const std::vector<std::string> sites = {"Zürich", "São Paulo", "Kraków", "Forêt 🌲"};
    ASSERT_EQ(d.facts(1).labels.size(), sites.size());
    for (std::size_t i = 0; i < sites.size(); ++i) EXPECT_EQ(d.facts(1).labels[i].text, sites[i]);
    const float visits[] = {3, 5, 2, 4}, scores[] = {12.5f, kMissing, 11.25f, 9.0f};
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(d.matrix().at(r + 1, 1), static_cast<float>(r + 1));
        EXPECT_EQ(d.matrix().at(r + 1, 2), visits[r]);
        EXPECT_EQ(d.matrix().at(r + 1, 3), scores[r]);
    }
}

}  // namespace

TEST(PackedFiles, EachWriterReadsToTheTable) {
    const struct {
        const char* file;
        const char* readAs;
    } cases[] = {
        {"pandas_utf16.txt", "tab-delimited text, UTF-16LE"},
        {"python_utf16be_bom.csv", "comma-delimited text, UTF-16BE"},
        {"python_utf16be.csv", "comma-delimited text, UTF-16BE"},
        {"pandas.csv.gz", "gzip-compressed comma-delimited text"},
        {"pandas.csv.bz2", "bzip2-compressed comma-delimited text"},
        {"pandas.csv.xz", "xz-compressed comma-delimited text"},
        {"r_fwrite.csv.gz", "gzip-compressed comma-delimited text"},
        {"r_gzfile.csv.gz", "gzip-compressed comma-delimited text"},
        {"pandas_zip.zip", "zip-compressed comma-delimited text"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        auto r = ImportDataFile(Packed(c.file), kDetectFormat);
        ASSERT_TRUE(r.ok()) << ImportErrorText(r.error(), c.file);
        EXPECT_EQ(r->readAs(), c.readAs);
        EXPECT_EQ(r->source(), DataSource::TextFile);
        ExpectTheTable(r.value());
        // Read with a chosen delimiter, as the browser's button does, it points to detection.
        auto chosen = ImportDataFile(Packed(c.file), '\t');
        ASSERT_FALSE(chosen.ok());
        EXPECT_EQ(OtherFormatHint(chosen.error(), Packed(c.file)),
                  " " + msg::LooksLikeOtherFormat(DetectDataFile(Packed(c.file)).looksLike));
    }
}

// A zip of several files lists them as a workbook lists its sheets, reads the one chosen by
// name (with or without its folder) or number, and guesses none.
TEST(PackedFiles, ZipOfSeveralFiles) {
    const std::string path = Packed("python_two.zip");
    const FormatRow& row = DetectDataFile(path);
    ASSERT_TRUE(row.sheets);
    auto listed = row.sheets(path);
    ASSERT_TRUE(listed.ok()) << ImportErrorText(listed.error(), path);
    ASSERT_EQ(listed->size(), 2u);
    EXPECT_EQ(listed.value()[0].name, "tables/sites.csv");
    EXPECT_EQ(listed.value()[1].name, "visits.tsv");
    EXPECT_EQ(listed.value()[1].bytes, 15);

    for (const SheetChoice& choice :
         {SheetChoice{"tables/sites.csv", 0}, SheetChoice{"sites.csv", 0}, SheetChoice{"", 1}}) {
        auto r = ImportDataFile(path, kDetectFormat, {}, choice);
        ASSERT_TRUE(r.ok()) << ImportErrorText(r.error(), path);
        EXPECT_EQ(r->readAs(),
                  "zip-compressed comma-delimited text, file \"tables/sites.csv\" (1 of 2)");
        ExpectTheTable(r.value());
    }
    auto visits = ImportDataFile(path, kDetectFormat, {}, {"", 2});
    ASSERT_TRUE(visits.ok()) << ImportErrorText(visits.error(), path);
    EXPECT_EQ(visits->readAs(), "zip-compressed tab-delimited text, file \"visits.tsv\" (2 of 2)");
    EXPECT_EQ(visits->cases(), 4);
    EXPECT_EQ(visits->variables(), 1);

    const struct {
        SheetChoice choice;
        const char* reason;
    } refused[] = {
        {{},
         "the zip archive holds 2 files (tables/sites.csv, visits.tsv); say which to read by "
         "its name or number, as a workbook's sheet"},
        {{"visits.csv", 0}, "the zip archive holds no file named \"visits.csv\""},
        {{"", 3}, "the zip archive has no file 3, only 2"},
    };
    for (const auto& c : refused) {
        auto r = ImportDataFile(path, kDetectFormat, {}, c.choice);
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(ImportErrorText(r.error(), "p"),
                  "The file could not be read: p (" + std::string(c.reason) + ").");
    }
}
