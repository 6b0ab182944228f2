// Workbooks as their writers make them, and hostile ones: each reads into the data set its
// sheet shows, or fails with a message that names the problem.
#include <gtest/gtest.h>
#include <zip.h>

#include <fstream>
#include <string>
#include <vector>

#include "DataSetColumns.h"
#include "TempFiles.h"
#include "common/Single.h"
#include "data/formats/sheets/Workbook.h"
#include "data/import/ImportDataFile.h"

using namespace corvane;
using namespace corvane::test;

namespace {

constexpr float M = kMissing;

// The same trial data set from every writer: numbers, a text column, a blank cell, dates.
class TrialWorkbook : public testing::TestWithParam<const char*> {};

TEST_P(TrialWorkbook, ReadsNamesTextMissingAndDates) {
    const auto r = ReadWorkbook(WrittenBy(GetParam()));
    ASSERT_TRUE(r.ok()) << r.error().reason;
    const DataSet& d = r.value();
    ASSERT_GE(d.variables(), 4);
    EXPECT_EQ(std::vector<std::string>(d.names().begin(), d.names().begin() + 4),
              (std::vector<std::string>{"group", "arm", "score", "visit"}));
    EXPECT_EQ(Column(d, 1).size(), static_cast<std::size_t>(d.cases()));
    const auto first4 = [&](std::int32_t v) {
        auto c = Column(d, v);
        c.resize(4);
        return c;
    };
    EXPECT_FALSE(d.isText(1));
    EXPECT_EQ(first4(1), (std::vector<float>{1, 1, 2, 2}));
    EXPECT_TRUE(d.isText(2));
    EXPECT_EQ(Labels(d, 2), (std::vector<std::string>{"control", "treated"}));
    EXPECT_EQ(first4(2), (std::vector<float>{1, 1, 2, 2}));
    EXPECT_EQ(d.facts(2).firstText, "control");
    EXPECT_EQ(d.facts(2).firstTextRow, 2);
    EXPECT_EQ(first4(3), (std::vector<float>{12.5f, 14, M, 11.25f}));
    EXPECT_TRUE(d.isText(4));
    EXPECT_EQ(Labels(d, 4),
              (std::vector<std::string>{"2024-03-01", "2024-03-02", "2024-03-03", "2024-03-04"}));
}

INSTANTIATE_TEST_SUITE_P(Writers, TrialWorkbook,
                         testing::Values("xlsxwriter_trial.xlsx", "openpyxl_trial.xlsx",
                                         "openxlsx_trial.xlsx", "pandas_trial.ods",
                                         "xlwt_trial.xls", "openxlsx_root_workbook.xlsx"));

// The table starts at its first row and column with a cell, as readxl reads it: the trial data
// set written at C3 is the trial data set, its rows still counted as the sheet counts them.
TEST(Workbook, ATableStartsAtItsFirstRowAndColumn) {
    for (const auto& [offset, trial] : {std::pair{"openpyxl_offset.xlsx", "openpyxl_trial.xlsx"},
                                        std::pair{"pandas_offset.ods", "pandas_trial.ods"},
                                        std::pair{"xlwt_offset.xls", "xlwt_trial.xls"}}) {
        SCOPED_TRACE(offset);
        const auto moved = ReadWorkbook(WrittenBy(offset));
        const auto original = ReadWorkbook(WrittenBy(trial));
        ASSERT_TRUE(moved.ok()) << moved.error().reason;
        ASSERT_TRUE(original.ok());
        const DataSet& m = moved.value();
        ASSERT_EQ(m.variables(), 4);
        ASSERT_EQ(m.cases(), 4);
        EXPECT_EQ(m.names(), std::vector<std::string>(original.value().names().begin(),
                                                      original.value().names().begin() + 4));
        for (std::int32_t v = 1; v <= 4; ++v) {
            auto column = Column(original.value(), v);
            column.resize(4);
            EXPECT_EQ(Column(m, v), column) << v;
        }
        EXPECT_EQ(Labels(m, 4), Labels(original.value(), 4));
        EXPECT_EQ(m.facts(2).firstTextRow, original.value().facts(2).firstTextRow + 2);
    }
}

TEST(Workbook, BooleansAndCachedFormulaResults) {
    const auto r = ReadWorkbook(WrittenBy("xlsxwriter_trial.xlsx"));
    ASSERT_TRUE(r.ok()) << r.error().reason;
    EXPECT_EQ(r.value().cases(), 5);
    EXPECT_EQ(Column(r.value(), 5), (std::vector<float>{0, 1, 0, 1, M}));
    // The formula's row: its cached result, and nothing else on the row.
    EXPECT_EQ(r.value().matrix()(5, 1), 3.0f);
    EXPECT_EQ(r.value().matrix()(5, 3), M);
}

// An empty row inside a sheet is a case whose cells are missing; the rows after it are read.
TEST(Workbook, AnEmptyRowIsACaseOfMissingCells) {
    const auto r = ReadWorkbook(WrittenBy("xlwt_empty_row.xls"));
    ASSERT_TRUE(r.ok()) << r.error().reason;
    EXPECT_EQ(r.value().cases(), 5);
    EXPECT_EQ(Column(r.value(), 1), (std::vector<float>{1, 1, M, 2, 2}));
    EXPECT_EQ(Column(r.value(), 2), (std::vector<float>{10.5f, 11, M, 14, 15.5f}));
}

TEST(Workbook, ListsSheetsAndReadsTheChosenOne) {
    const auto listed = ListSheets(WrittenBy("xlsxwriter_trial.xlsx"));
    ASSERT_TRUE(listed.ok());
    ASSERT_EQ(listed.value().size(), 2u);
    EXPECT_EQ(listed.value()[0].name, "trial");
    EXPECT_EQ(listed.value()[0].rows, 6);
    EXPECT_EQ(listed.value()[0].columns, 5);
    EXPECT_EQ(listed.value()[1].name, "notes");

    // "notes" has x in A1 and 5 in C3 alone: the gaps read as missing.
    for (const SheetChoice& choice : {SheetChoice{"notes", 0}, SheetChoice{"", 2}}) {
        const auto r = ReadWorkbook(WrittenBy("xlsxwriter_trial.xlsx"), choice);
        ASSERT_TRUE(r.ok()) << r.error().reason;
        EXPECT_EQ(r.value().names(), (std::vector<std::string>{"x", "", ""}));
        EXPECT_EQ(Column(r.value(), 3), (std::vector<float>{M, 5}));
        EXPECT_EQ(Column(r.value(), 1), (std::vector<float>{M, M}));
    }

    const auto ods = ListSheets(WrittenBy("pandas_trial.ods"));
    ASSERT_TRUE(ods.ok());
    ASSERT_EQ(ods.value().size(), 2u);
    EXPECT_EQ(ods.value()[1].name, "notes");
    EXPECT_EQ(ods.value()[1].rows, 3);

    const auto noName = ReadWorkbook(WrittenBy("pandas_trial.ods"), {"nope", 0});
    ASSERT_FALSE(noName.ok());
    EXPECT_EQ(noName.error().reason, "the workbook has no sheet named \"nope\"");
    const auto noNumber = ReadWorkbook(WrittenBy("xlwt_trial.xls"), {"", 3});
    ASSERT_FALSE(noNumber.ok());
    EXPECT_EQ(noNumber.error().reason, "the workbook has no sheet 3, only 2");
}

// A read names the sheet it took and counts the workbook's sheets, with no listing first.
TEST(Workbook, ReadSaysWhichSheetOfHowMany) {
    for (const char* file : {"xlsxwriter_trial.xlsx", "pandas_trial.ods", "xlwt_trial.xls"}) {
        for (const SheetChoice& choice :
             {SheetChoice{}, SheetChoice{"notes", 0}, SheetChoice{"", 2}}) {
            SCOPED_TRACE(std::string(file) + " " + choice.name);
            const auto r = ReadWorkbookSheet(WrittenBy(file), choice);
            ASSERT_TRUE(r.ok()) << r.error().reason;
            const bool notes = choice.name == "notes" || choice.number == 2;
            EXPECT_EQ(r.value().sheet, notes ? "notes" : "trial");
            EXPECT_EQ(r.value().number, notes ? 2 : 1);
            EXPECT_EQ(r.value().count, 2);
            EXPECT_EQ(r.value().data.name(1), notes ? "x" : "group");
        }
    }
}

TEST(Workbook, SniffsTheKindFromTheFirstBytes) {
    EXPECT_EQ(SniffWorkbook(FileBytes(WrittenBy("xlsxwriter_trial.xlsx")).substr(0, 512)),
              WorkbookKind::Xlsx);
    EXPECT_EQ(SniffWorkbook(FileBytes(WrittenBy("openpyxl_trial.xlsx")).substr(0, 512)),
              WorkbookKind::Xlsx);
    EXPECT_EQ(SniffWorkbook(FileBytes(WrittenBy("pandas_trial.ods")).substr(0, 512)),
              WorkbookKind::Ods);
    EXPECT_EQ(SniffWorkbook(FileBytes(WrittenBy("xlwt_trial.xls")).substr(0, 512)),
              WorkbookKind::Xls);
    EXPECT_EQ(SniffWorkbook("group,score\n1,2\n"), WorkbookKind::None);
}

// Apache POI's password-protected copies: the .xlsx becomes a compound file with no workbook
// stream, the .xls keeps its stream with the records encrypted.
TEST(Workbook, PasswordProtectedWorkbooksSaySo) {
    const std::string reason = ImportError::PasswordProtected().reason;
    for (const char* file : {"groups_encrypted.xlsx", "xlwt_trial_encrypted.xls"}) {
        const auto sheets = ListSheets(WrittenBy(file));
        ASSERT_FALSE(sheets.ok()) << file;
        EXPECT_EQ(sheets.error().reason, reason) << file;
        const auto r = ReadWorkbook(WrittenBy(file), {"", 1});
        ASSERT_FALSE(r.ok()) << file;
        EXPECT_EQ(r.error().reason, reason) << file;
    }
}

// FreeXL frees a wild pointer on this damaged file; it runs in a child process, so the import
// fails with a message and the program goes on.
TEST(Workbook, AnXlsThatCrashesItsReaderIsAMessage) {
    const std::string path = std::string(CORVANE_TEST_DATA) + "/hostile/freexl_double_free.xls";
    const std::string reason =
        "the workbook is damaged: the reader of Excel 97-2003 files stopped on it";
    const auto sheets = ListSheets(path);
    ASSERT_FALSE(sheets.ok());
    EXPECT_EQ(sheets.error().reason, reason);
    const auto r = ReadWorkbook(path);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error().reason, reason);
    // The reader of a good workbook is unharmed afterwards.
    EXPECT_TRUE(ReadWorkbook(WrittenBy("xlwt_trial.xls")).ok());
}

// Workbooks zipped in the test, most of them hostile.
class MadeWorkbook : public testing::Test {
  protected:
    std::string zipOf(const std::vector<std::pair<std::string, std::string>>& parts) {
        const std::string path = m_dir.path() + "/book" + std::to_string(m_count++) + ".xlsx";
        int error = 0;
        zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        for (const auto& [name, bytes] : parts) {
            m_kept.push_back(bytes);
            zip_source_t* s = zip_source_buffer(z, m_kept.back().data(), m_kept.back().size(), 0);
            zip_file_add(z, name.c_str(), s, ZIP_FL_OVERWRITE);
        }
        zip_close(z);
        m_kept.clear();
        return path;
    }
    // An .xlsx of one sheet whose <sheetData> holds `cells`.
    std::string xlsx(const std::string& cells, const std::string& workbook = kWorkbook) {
        return zipOf({{"xl/workbook.xml", workbook},
                      {"xl/worksheets/sheet1.xml",
                       "<worksheet><sheetData>" + cells + "</sheetData></worksheet>"}});
    }
    std::string ods(const std::string& rows) {
        return zipOf({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                      {"content.xml",
                       "<office:document-content><office:body><office:spreadsheet>"
                       "<table:table table:name=\"s\">" +
                           rows +
                           "</table:table></office:spreadsheet></office:body>"
                           "</office:document-content>"}});
    }
    static std::string Reason(const Result<DataSet, ImportError>& r) {
        return r.ok() ? "read" : r.error().reason;
    }

    static inline const std::string kWorkbook =
        "<workbook><sheets><sheet name=\"s\" r:id=\"x\"/></sheets></workbook>";
    TempDir m_dir;
    int m_count = 0;
    std::vector<std::string> m_kept;
};

TEST_F(MadeWorkbook, TextColumnsKeepGapsAndNameTheirNumbers) {
    const auto inl = [](const char* ref, const char* text) {
        return std::string("<c r=\"") + ref + "\" t=\"inlineStr\"><is><t>" + text + "</t></is></c>";
    };
    const auto r = ReadWorkbook(xlsx("<row r=\"1\">" + inl("A1", "n") + inl("B1", "m") +
                                     "</row><row r=\"2\"><c r=\"B2\"><v>1</v></c></row>"
                                     "<row r=\"3\">" +
                                     inl("A3", "a") + inl("B3", "b") + "</row>"));
    ASSERT_TRUE(r.ok()) << Reason(r);
    EXPECT_EQ(r.value().names(), (std::vector<std::string>{"n", "m"}));
    EXPECT_EQ(Column(r.value(), 1), (std::vector<float>{M, 1}));
    EXPECT_EQ(Column(r.value(), 2), (std::vector<float>{1, 2}));
    EXPECT_EQ(Labels(r.value(), 2), (std::vector<std::string>{"1", "b"}));
    EXPECT_EQ(r.value().facts(2).firstTextRow, 3);
}

TEST_F(MadeWorkbook, CellsInAnyOrderAcrossRowChunksCodeDownTheColumn) {
    // Rows out of order and either side of the 256-row edges; the only text lies below the
    // first numbers, a number written over a text leaves no text behind, and codes still run
    // down the column.
    const auto num = [](int row, const char* col, const char* v) {
        const auto r = std::to_string(row);
        return "<row r=\"" + r + "\"><c r=\"" + col + r + "\"><v>" + v + "</v></c></row>";
    };
    const auto str = [](int row, const char* col, const char* text) {
        const auto r = std::to_string(row);
        return "<row r=\"" + r + "\"><c r=\"" + col + r + "\" t=\"inlineStr\"><is><t>" + text +
               "</t></is></c></row>";
    };
    const auto r =
        ReadWorkbook(xlsx(str(1, "A", "n") + num(600, "A", "3") + str(513, "B", "x") +
                          num(256, "A", "7") + num(257, "A", "5") + str(400, "A", "late") +
                          num(2, "A", "7") + num(513, "A", "8") + num(513, "B", "8")));
    ASSERT_TRUE(r.ok()) << Reason(r);
    ASSERT_EQ(r.value().cases(), 599);
    const auto a = Column(r.value(), 1);
    EXPECT_EQ((std::vector<float>{a[0], a[1], a[254], a[255], a[256], a[398], a[511], a[598]}),
              (std::vector<float>{1, M, 1, 2, M, 3, 4, 5}));
    EXPECT_EQ(Labels(r.value(), 1), (std::vector<std::string>{"7", "5", "late", "8", "3"}));
    EXPECT_EQ(r.value().facts(1).firstTextRow, 400);
    EXPECT_EQ(r.value().facts(2).kind, VariableKind::Numbers);
}

// Parts are where the relationships say, relative to the part that names them; a package whose
// main document is no workbook holds no spreadsheet.
TEST_F(MadeWorkbook, PartsAreFoundThroughTheRelationships) {
    const std::string rel =
        "<Relationship Type=\"http://schemas.openxmlformats.org/"
        "officeDocument/2006/relationships/";
    const std::string found = zipOf(
        {{"_rels/.rels", "<Relationships>" + rel +
                             "officeDocument\" Target=\"/book/main.xml\" "
                             "Id=\"r\"/></Relationships>"},
         {"book/main.xml",
          "<workbook><sheets><sheet name=\"one\" r:id=\"s\"/></sheets></workbook>"},
         {"book/_rels/main.xml.rels",
          "<Relationships>" + rel + "worksheet\" Target=\"./sheets/../sheets/one.xml\" Id=\"s\"/>" +
              rel + "sharedStrings\" Target=\"../text/all.xml\" Id=\"t\"/></Relationships>"},
         {"book/sheets/one.xml",
          "<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>1</v></c></row><row "
          "r=\"2\"><c r=\"A2\"><v>5</v></c></row></sheetData></worksheet>"},
         {"text/all.xml", "<sst><si><t>no</t></si><si><t>yes</t></si></sst>"}});
    const auto r = ReadWorkbookSheet(found);
    ASSERT_TRUE(r.ok()) << r.error().reason;
    EXPECT_EQ(r.value().sheet, "one");
    EXPECT_EQ(r.value().data.names(), (std::vector<std::string>{"yes"}));
    EXPECT_EQ(Column(r.value().data, 1), (std::vector<float>{5}));

    const std::string document =
        zipOf({{"_rels/.rels", "<Relationships>" + rel +
                                   "officeDocument\" Target=\"word/document.xml\" "
                                   "Id=\"r\"/></Relationships>"},
               {"word/document.xml", "<document><body/></document>"}});
    EXPECT_EQ(Reason(ReadWorkbook(document)),
              "the zip archive holds no Excel or OpenDocument spreadsheet");
}

TEST_F(MadeWorkbook, ZipBombEndsInAMessage) {
    const std::string padding(std::size_t{20} << 20, ' ');
    const auto r = ReadWorkbook(xlsx("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>" + padding));
    EXPECT_NE(Reason(r).find("zip bomb"), std::string::npos) << Reason(r);
}

TEST_F(MadeWorkbook, EntityExpansionIsRefused) {
    std::string laughs = "<?xml version=\"1.0\"?><!DOCTYPE w [<!ENTITY a \"aaaaaaaaaa\">";
    for (char c = 'b'; c <= 'j'; ++c)
        laughs += std::string("<!ENTITY ") + c + " \"" + std::string(10, '&') + "\">";
    laughs += "]><workbook><sheets><sheet name=\"&j;\" r:id=\"x\"/></sheets></workbook>";
    const auto r = ReadWorkbook(xlsx("", laughs));
    EXPECT_NE(Reason(r).find("document type"), std::string::npos) << Reason(r);
}

TEST_F(MadeWorkbook, FarCellsMakeNoGiantGrid) {
    // A formatted but empty cell at the sheet's last corner is no cell at all.
    const auto styled =
        ReadWorkbook(xlsx("<row r=\"1\"><c r=\"A1\"><v>4</v></c></row>"
                          "<row r=\"1048576\"><c r=\"XFD1048576\" s=\"1\"/></row>"));
    ASSERT_TRUE(styled.ok()) << Reason(styled);
    EXPECT_EQ(styled.value().cases(), 1);
    EXPECT_EQ(styled.value().variables(), 1);

    // One cell at the far corner is a table of one case and one variable, the empty rows above
    // and columns left of it no part of it; with another at A1 the grid would need 64 GiB, which
    // is refused before any of it is asked for.
    const auto corner =
        ReadWorkbook(xlsx("<row r=\"1048576\"><c r=\"XFD1048576\"><v>1</v></c></row>"));
    ASSERT_TRUE(corner.ok()) << Reason(corner);
    EXPECT_EQ(corner.value().cases(), 1);
    EXPECT_EQ(corner.value().variables(), 1);
    const auto spanned =
        ReadWorkbook(xlsx("<row r=\"1\"><c r=\"A1\"><v>4</v></c></row>"
                          "<row r=\"1048576\"><c r=\"XFD1048576\"><v>1</v></c></row>"));
    ASSERT_FALSE(spanned.ok());
    EXPECT_EQ(spanned.error().kind, ImportError::Kind::OutOfMemory);

    const auto beyond =
        ReadWorkbook(xlsx("<row r=\"1048577\"><c r=\"A1048577\"><v>1</v></c></row>"));
    EXPECT_NE(Reason(beyond).find("below row 1048576"), std::string::npos) << Reason(beyond);
}

TEST_F(MadeWorkbook, OdsRepeatsExpandOnlyBeforeContent) {
    const std::string cell = "<table:table-cell office:value-type=\"float\" office:value=\"2\"/>";
    const std::string blankCells = "<table:table-cell table:number-columns-repeated=\"16383\"/>";
    const auto trailing = ReadWorkbook(
        ods("<table:table-row table:number-rows-repeated=\"3\">" + blankCells +
            "</table:table-row><table:table-row>" + cell + cell + blankCells +
            "</table:table-row><table:table-row table:number-rows-repeated=\"1048572\">" +
            blankCells + "</table:table-row>"));
    ASSERT_TRUE(trailing.ok()) << Reason(trailing);
    EXPECT_EQ(trailing.value().cases(), 1);
    EXPECT_EQ(trailing.value().variables(), 2);

    const auto repeatedContent = ReadWorkbook(ods(
        "<table:table-row table:number-rows-repeated=\"2000000\">" + cell + "</table:table-row>"));
    EXPECT_NE(Reason(repeatedContent).find("below row"), std::string::npos)
        << Reason(repeatedContent);
    const auto wideContent = ReadWorkbook(
        ods("<table:table-row><table:table-cell table:number-columns-repeated=\"16384\" "
            "office:value-type=\"float\" office:value=\"1\"/></table:table-row>"));
    ASSERT_TRUE(wideContent.ok()) << Reason(wideContent);
    EXPECT_EQ(wideContent.value().variables(), 16384);
}

// The tables after the one read are only counted: damage there costs the count, not the data.
TEST_F(MadeWorkbook, OdsDamagedAfterTheTableReadKeepsItsData) {
    const std::string path =
        zipOf({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
               {"content.xml",
                "<office:document-content><office:body><office:spreadsheet>"
                "<table:table table:name=\"a\"><table:table-row><table:table-cell "
                "office:value-type=\"float\" office:value=\"3\"/></table:table-row></table:table>"
                "<table:table table:name=\"b\"><table:table-row>"}});
    const auto first = ReadWorkbookSheet(path);
    ASSERT_TRUE(first.ok()) << first.error().reason;
    EXPECT_EQ(first.value().data.matrix()(1, 1), 3.0f);
    EXPECT_EQ(first.value().sheet, "a");
    EXPECT_EQ(first.value().count, 0);
    const auto second = ReadWorkbookSheet(path, {"b", 0});
    ASSERT_FALSE(second.ok());
    EXPECT_NE(second.error().reason.find("damaged"), std::string::npos) << second.error().reason;
}

// The summary names the format the reader found inside the zip, whatever the file's name:
// this spreadsheet is an .ods saved as book.xlsx.
TEST_F(MadeWorkbook, ReadAsNamesTheFormatFoundInside) {
    const auto r = ImportDataFile(ods("<table:table-row><table:table-cell office:value-type="
                                      "\"float\" office:value=\"3\"/></table:table-row>"),
                                  kDetectFormat);
    ASSERT_TRUE(r.ok()) << r.error().reason;
    EXPECT_EQ(r.value().readAs(), "OpenDocument spreadsheet, sheet \"s\" (1 of 1)");
}

TEST_F(MadeWorkbook, DamagedAndTruncatedFilesSayWhy) {
    const auto unclosed = ReadWorkbook(xlsx("<row r=\"1\"><c r=\"A1\"><v>1</v></c>"));
    EXPECT_NE(Reason(unclosed).find("is damaged: mismatched tag"), std::string::npos)
        << Reason(unclosed);
    const auto badString =
        ReadWorkbook(xlsx("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>7</v></c></row>"));
    EXPECT_NE(Reason(badString).find("shared string that does not exist"), std::string::npos)
        << Reason(badString);
    const auto tooLarge = ReadWorkbook(xlsx("<row r=\"2\"><c r=\"B2\"><v>1e300</v></c></row>"));
    ASSERT_FALSE(tooLarge.ok());
    EXPECT_EQ(tooLarge.error().kind, ImportError::Kind::NumberTooLarge);
    EXPECT_EQ(tooLarge.error().column, 2);

    for (const char* file :
         {"xlsxwriter_trial.xlsx", "pandas_trial.ods", "xlwt_trial.xls", "groups_encrypted.xlsx"}) {
        const std::string whole = FileBytes(WrittenBy(file));
        const auto r = ReadWorkbook(m_dir.file("cut", whole.substr(0, whole.size() / 2)));
        ASSERT_FALSE(r.ok()) << file;
        EXPECT_EQ(r.error().kind, ImportError::Kind::Unreadable) << file;
        EXPECT_FALSE(r.error().reason.empty()) << file;
    }
    EXPECT_EQ(Reason(ReadWorkbook(m_dir.file("text", "a,b\n1,2\n"))),
              "the file is not an Excel or OpenDocument workbook");
}

}  // namespace
