// The .xls reader's helper program and what it says of the workbooks FreeXL cannot read: each
// fails with a message that says what the file is, and a helper that hangs or lays out a huge
// grid is stopped at its limits.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "TempFiles.h"
#include "data/formats/sheets/Workbook.h"
#include "data/formats/sheets/XlsReader.h"
#include "data/formats/stats/ReadStatisticsFile.h"
#include "data/import/ImportDataFile.h"

using namespace corvane;

namespace {

std::string Data(const std::string& file) { return std::string(CORVANE_TEST_DATA) + "/" + file; }

// The reason an import of `path` as whatever it is failed with ("" when it did not fail).
std::string Reason(const std::string& path) {
    const auto r = ImportDataFile(path, kDetectFormat);
    return r.ok() ? std::string() : r.error().reason;
}

TEST(XlsReader, WorkbooksFreeXlDeclinesSayWhatTheyAre) {
    const std::string saveAsXlsx =
        "; save it as an .xlsx workbook in a spreadsheet program and import that";
    const struct {
        const char* file;
        std::string reason;
    } cases[] = {
        {"biff5/excel95_rich_text.xls",
         "the sheet holds formatted text (rich text) of an Excel 5.0/95 workbook, which the "
         "reader of Excel 97-2003 files would read as empty cells" +
             saveAsXlsx},
        {"biff5/excel95_utf8_names.xls",
         "the file is an Excel 5.0/95 workbook whose text is in code page 65001 (UTF-8), which "
         "the reader of Excel 97-2003 files does not read" +
             saveAsXlsx},
        // As an empty sheet is: no data, and no damage.
        {"biff5/excel95_no_data_rows.xls", "the sheet holds no data rows"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(Reason(Data(c.file)), c.reason);
    }
    // The list of sheets of a workbook FreeXL declines says the same; one it reads is listed.
    const auto utf8 = ListSheets(Data("biff5/excel95_utf8_names.xls"));
    ASSERT_FALSE(utf8.ok());
    EXPECT_EQ(utf8.error().reason, cases[1].reason);
    const auto rich = ListSheets(Data("biff5/excel95_rich_text.xls"));
    ASSERT_TRUE(rich.ok());
    EXPECT_EQ(rich.value().size(), 1u);
}

// Five sheets claiming 65536 x 256 cells each: FreeXL would lay out 1.3 GB from 5.5 KB.
TEST(XlsReader, HugeClaimedGridsStopAtTheMemoryLimit) {
    const std::string reason =
        "the workbook would take more than the 1 GB of memory the reader of Excel 97-2003 files "
        "may use: its sheets claim more cells than that holds; it may be damaged";
    const std::string path = Data("hostile/freexl_huge_grids.xls");
    EXPECT_EQ(Reason(path), reason);
    const auto sheets = ListSheets(path);
    ASSERT_FALSE(sheets.ok());
    EXPECT_EQ(sheets.error().reason, reason);
}

// A reader that never answers is killed at its time limit; one that cannot be started says so.
TEST(XlsReader, AHelperThatHangsOrIsMissingIsAMessage) {
    TempDir dir;
    const std::string hangs = dir.file("hangs", "#!/bin/sh\nexec sleep 600\n");
    ASSERT_EQ(::chmod(hangs.c_str(), 0700), 0);
    const std::string book = WrittenBy("xlwt_trial.xls");
    XlsReader slow(book, hangs, XlsLimits{.time = std::chrono::milliseconds(300)});
    const std::string late =
        "the reader of Excel 97-2003 files did not finish within its time limit of 1 second; "
        "the workbook may be damaged";
    const auto read = slow.read({});
    ASSERT_FALSE(read.ok());
    EXPECT_EQ(read.error().reason, late);
    const auto listed = slow.sheets();
    ASSERT_FALSE(listed.ok());
    EXPECT_EQ(listed.error().reason, late);

    const std::string nowhere = dir.path() + "/no-such-helper";
    const auto missing = XlsReader(book, nowhere).read({});
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().reason, "the reader of Excel 97-2003 files (" + nowhere +
                                          ") could not be started: No such file or directory");
    // The helper beside the program reads the same workbook.
    EXPECT_TRUE(XlsReader(book).read({}).ok());
}

// A pipe would block every reader's open: each refuses it, whatever its name says.
TEST(XlsReader, EveryReaderRefusesAPipe) {
    TempDir dir;
    for (const char* name : {"data.xlsx", "data.xls", "data.ods", "data.sav", "data.dta"}) {
        SCOPED_TRACE(name);
        const std::string fifo = dir.path() + "/" + name;
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        EXPECT_EQ(Reason(fifo), "not a regular file");
        const auto sheets = ListSheets(fifo);
        ASSERT_FALSE(sheets.ok());
        EXPECT_EQ(sheets.error().reason, "not a regular file");
        const auto stats = ReadStatisticsFile(fifo, StatFileKind::SpssData, 0);
        ASSERT_FALSE(stats.ok());
        EXPECT_EQ(stats.error().reason, "not a regular file");
    }
}

}  // namespace
