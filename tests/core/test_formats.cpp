#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "TempFiles.h"
#include "common/Messages.h"
#include "common/Single.h"
#include "data/TableBuilder.h"
#include "data/formats/FileTypeList.h"
#include "data/formats/FormatRegistry.h"
#include "data/formats/FormatsHelpText.h"
#include "data/import/ImportDataFile.h"
#include "data/import/OtherFormatHint.h"

using namespace corvane;

namespace {

// A made-up format: a ".corv" file whose first bytes are "CORV1", then one number.
FormatRow CorvRow() {
    FormatRow row;
    row.name = "Corvane test file";
    row.source = DataSource::StatisticsFile;
    row.extensions = {".corv"};
    row.mimeTypes = {"application/x-corvane-test"};
    row.caption = "Corvane test files";
    row.help = ".corv files";
    row.looksLike = "a Corvane test file";
    row.sniff = [](std::string_view head) { return head.starts_with("CORV1"); };
    row.read = [](const FormatInput& in) -> Result<FormatRead, ImportError> {
        if (!in.head.bytes.starts_with("CORV1 ")) return ImportError::Unreadable("no CORV1 file");
        DataSet::Contents c;
        c.matrix = DataMatrix(1, 1, std::stof(in.head.bytes.substr(6)));
        c.cases = 1;
        c.variables = 1;
        return FormatRead{DataSet(std::move(c)), "Corvane test file, version 1"};
    };
    return row;
}

FormatRegistry BuiltinAndCorv() {
    std::vector<FormatRow> rows = FormatRegistry::Builtin().rows();
    rows.push_back(CorvRow());
    return FormatRegistry(std::move(rows));
}

std::string OneLine(std::string text) {
    for (char& c : text) c = c == '\n' ? ' ' : c;
    return text;
}

}  // namespace

// A reader is a row away: once registered, the file dialog offers its files, the batch tool's
// help names it, detection finds it by content (whatever the name) or by name, and the hint
// after a chosen delimiter points to it.
TEST(FormatRegistry, AReaderIsARowAway) {
    const FormatRegistry formats = BuiltinAndCorv();
    const std::string filter = FileDialogFilter(formats);
    EXPECT_EQ(filter.substr(0, filter.find(";;")),
              "All data files (*.txt *.dat *.csv *.tsv *.xlsx *.xlsm *.xls *.ods *.sav *.zsav "
              "*.por *.dta *.sas7bdat *.xpt *.rds *.rdata *.rda *.gz *.bz2 *.xz *.zip *.corv)");
    EXPECT_TRUE(
        filter.ends_with(";;Compressed files (*.gz *.bz2 *.xz *.zip);;Corvane test files (*.corv)"))
        << filter;
    EXPECT_NE(OneLine(FormatsHelpText(formats)).find("or in a zip archive; .corv files)."),
              std::string::npos)
        << FormatsHelpText(formats);

    TempDir dir;
    for (const char* name : {"answer.txt", "answer.corv"}) {
        SCOPED_TRACE(name);
        const std::string path = dir.file(name, "CORV1 42.5\n");
        auto r = ImportDataFile(path, kDetectFormat, {}, {}, formats);
        ASSERT_TRUE(r.ok()) << ImportErrorText(r.error(), path);
        EXPECT_EQ(r->readAs(), "Corvane test file, version 1");
        EXPECT_EQ(r->source(), DataSource::StatisticsFile);
        EXPECT_EQ(r->matrix().at(1, 1), 42.5f);
        EXPECT_EQ(
            OtherFormatHint(ImportError::Of(ImportError::Kind::InvalidEntry, 1, 1), path, formats),
            " " + msg::LooksLikeOtherFormat("a Corvane test file"));
        // The program's own registry knows nothing of it.
        auto builtin = ImportDataFile(path, kDetectFormat);
        EXPECT_FALSE(builtin.ok() && builtin->readAs() == "Corvane test file, version 1");
    }
    // By name alone when the content tells nothing.
    const std::string named = dir.file("named.corv", "1 2\n");
    EXPECT_EQ(DetectDataFile(named, formats).name, "Corvane test file");
    EXPECT_EQ(DetectDataFile(named).name, "delimited text");
}

TEST(FormatRegistry, TheProgramsFileTypes) {
    std::vector<std::string> texts;
    for (const FileType& t : FileTypeList()) texts.push_back(t.text());
    EXPECT_EQ(texts,
              (std::vector<std::string>{
                  "Text (*.txt)",
                  "Data (*.dat)",
                  "All data files (*.txt *.dat *.csv *.tsv *.xlsx *.xlsm *.xls *.ods *.sav "
                  "*.zsav *.por *.dta *.sas7bdat *.xpt *.rds *.rdata *.rda *.gz *.bz2 *.xz *.zip)",
                  "Delimited text (*.txt *.dat *.csv *.tsv)",
                  "Excel workbooks (*.xlsx *.xlsm *.xls)",
                  "OpenDocument spreadsheets (*.ods)",
                  "SPSS data files (*.sav *.zsav *.por)",
                  "Stata data files (*.dta)",
                  "SAS data files (*.sas7bdat *.xpt)",
                  "R data files (*.rds *.rdata *.rda)",
                  "Compressed files (*.gz *.bz2 *.xz *.zip)",
              }));
    EXPECT_EQ(kAllDataFilesEntry, 2u);
    const std::string filter = FileDialogFilter();
    EXPECT_TRUE(filter.starts_with(texts[2] + ";;Text (*.txt);;Data (*.dat);;Delimited text"));
}

// Detection: the content decides before the name, among the workbooks before the statistics
// files; the name decides when the content tells nothing; text reads the rest.
TEST(FormatRegistry, DetectionOrder) {
    const FormatRegistry& formats = FormatRegistry::Builtin();
    const std::string ole2 = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    std::string zip = std::string("PK\x03\x04", 4) + std::string(22, '\0');
    zip += std::string("\x08\0\0\0", 4) + "unknown!";  // a first entry that tells nothing
    const struct {
        std::string head, extension, format;
    } cases[] = {
        {ole2, ".csv", "Excel 97-2003 workbook"},
        {ole2 + "SPSSPORT", ".sav", "Excel 97-2003 workbook"},
        {zip, ".ods", "zip archive"},  // looked into when read
        {"\x1f\x8b\x08", ".csv", "gzip-compressed file"},
        {"BZh9", ".txt", "bzip2-compressed file"},
        {"1,2\n", ".xz", "xz-compressed file"},  // refused by its reader: not xz
        {"\xFF\xFE"
         "1\0",
         ".csv", "UTF-16 text"},
        {std::string("1\0,\0"
                     "2\0\n\0",
                     8),
         ".csv", "UTF-16 text"},
        {std::string("\xFF\xFE\0\0", 4), ".txt", "delimited text"},  // UTF-32
        {std::string("1\0\0\0", 4), ".txt", "delimited text"},
        {"PK\x03\x04", ".ods", "OpenDocument spreadsheet"},  // too short to tell: the name does
        {"$FL2", ".dta", "SPSS data file"},
        {"$FL3", ".txt", "SPSS compressed data file"},
        {std::string(200, ' ') + "SPSSPORT", ".txt", "SPSS portable file"},
        {"HEADER RECORD*******LIBRARY", ".csv", "SAS transport file"},
        {"<stata_dta>", "", "Stata data file"},
        {"1,2\n", ".sas7bdat", "SAS data set"},
        {"1,2\n", ".xlsm", "Excel workbook"},
        {"1,2\n", ".zsav", "SPSS compressed data file"},
        {"1,2\n", ".tab", "delimited text"},
        {"", "", "delimited text"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format + " " + c.extension);
        EXPECT_EQ(formats.detect(c.head, c.extension).name, c.format);
    }
    EXPECT_EQ(FormatRegistry::LowerExtension("/data/Trial.XLSX"), ".xlsx");
    EXPECT_EQ(FormatRegistry::LowerExtension("/data/.sav"), "");
}

// The desktop entry's MIME types are the registry's, in its order, and every type the package
// defines names a row's format and extension.
TEST(FormatRegistry, DesktopEntryAndMimePackage) {
    const FormatRegistry& formats = FormatRegistry::Builtin();
    std::ifstream desktop(std::string(CORVANE_PACKAGING) + "/org.corvane.Corvane.desktop");
    std::string line, listed;
    while (std::getline(desktop, line))
        if (line.starts_with("MimeType=")) listed = line.substr(9);
    std::string expected;
    for (const std::string& type : formats.mimeTypes()) expected += type + ";";
    EXPECT_EQ(listed, expected);

    const std::string xml =
        FileBytes(std::string(CORVANE_PACKAGING) + "/org.corvane.Corvane.mime.xml");
    // Each <mime-type type="T"> with its <comment>C</comment> and first <glob pattern="*E"/>.
    const auto between = [&xml](std::size_t& at, const std::string& open,
                                const std::string& close) {
        const std::size_t start = xml.find(open, at);
        if (start == std::string::npos) return std::string();
        const std::size_t end = xml.find(close, start + open.size());
        at = end;
        return xml.substr(start + open.size(), end - start - open.size());
    };
    int defined = 0;
    for (std::size_t at = 0;; ++defined) {
        const std::string type = between(at, "<mime-type type=\"", "\"");
        if (type.empty()) break;
        const std::string comment = between(at, "<comment>", "</comment>");
        const std::string extension = between(at, "<glob pattern=\"*", "\"");
        SCOPED_TRACE(type);
        bool found = false;
        for (const FormatRow& row : formats.rows()) {
            if (std::find(row.mimeTypes.begin(), row.mimeTypes.end(), type) == row.mimeTypes.end())
                continue;
            found = true;
            EXPECT_EQ(row.name, comment);
            EXPECT_NE(std::find(row.extensions.begin(), row.extensions.end(), extension),
                      row.extensions.end());
        }
        EXPECT_TRUE(found);
    }
    EXPECT_EQ(defined, 5);
}

TEST(FormatRegistry, BatchToolHelp) {
    EXPECT_EQ(FormatsHelpText(),
              "D is auto, space, comma, tab, semicolon or pipe: auto detects the file's format\n"
              "(delimited text and its delimiter, decimal comma and code page; .xlsx, .xlsm,\n"
              ".xls, .ods workbooks; SPSS, Stata and SAS files; R's .rds, .RData and .rda\n"
              "files; any of them compressed by gzip, bzip2 or xz, or in a zip archive). S\n"
              "picks a workbook's sheet, an R workspace's data frame or a zip archive's file,\n"
              "by name or number (the first by default).\n");
}

// The table builder codes every reader's labels: in order of first appearance, a control
// character an invalid entry, one cap and one error past it, facts only where they say more
// than plain numbers.
TEST(TableBuilder, LabelsAndFacts) {
    TableBuilder table(3);
    TextColumn& group = table.text(2);
    float code = 0.0f;
    for (const char* label : {"b", "a", "b", "c"}) {
        ASSERT_FALSE(group.code(7, label, code).has_value()) << label;
    }
    EXPECT_EQ(code, 3.0f);
    group.firstText(5, "b");
    group.firstText(9, "z");  // the first is kept
    const auto control = group.code(8, "a\x1b[2J", code);
    ASSERT_TRUE(control.has_value());
    EXPECT_EQ(ImportErrorText(*control, "f"), msg::InvalidEntry(8, 2));
    // A tab is no control character here; a fourth label is one too many.
    const auto tooMany = group.code(9, "tab\there", code);
    ASSERT_TRUE(tooMany.has_value());
    EXPECT_EQ(ImportErrorText(*tooMany, "f"), "Column 2 holds more than 9999998 different texts.");
    EXPECT_TRUE(TextColumn::Admits("tab\there\r\n"));
    EXPECT_FALSE(TextColumn::Admits(std::string("nul\0", 4)));

    TableBuilder labelled;
    labelled.text(3);
    labelled.labelNumbers(1, {{1.0f, "control"}, {2.0f, "treatment"}});
    const DataSet::Contents c =
        std::move(labelled).finish(DataMatrix(1, 3, kMissing), 1, 3, {"g", "x", "s"});
    ASSERT_EQ(c.facts.size(), 3u);
    EXPECT_EQ(c.facts[0].kind, VariableKind::LabelledNumbers);
    EXPECT_EQ(c.facts[0].labels[1].text, "treatment");
    EXPECT_EQ(c.facts[1].kind, VariableKind::Numbers);
    EXPECT_EQ(c.facts[2].kind, VariableKind::Text);
    EXPECT_TRUE(c.facts[2].labels.empty());

    EXPECT_TRUE(TableBuilder().finish(DataMatrix(1, 2, 0.0f), 1, 2, {}).facts.empty());
}

TEST(TableBuilder, TextVariableFacts) {
    TableBuilder table;
    TextColumn& site = table.text(1);
    float code = 0.0f;
    for (const char* label : {"12", "north", "south", "north"})
        ASSERT_FALSE(site.code(3, label, code).has_value());
    site.firstText(4, "north");
    const DataSet::Contents c = std::move(table).finish(DataMatrix(4, 1, 0.0f), 4, 1, {});
    ASSERT_EQ(c.facts.size(), 1u);
    const VariableFacts& f = c.facts[0];
    EXPECT_EQ(f.kind, VariableKind::Text);
    ASSERT_EQ(f.labels.size(), 3u);
    EXPECT_EQ(f.labels[0].code, 1.0f);
    EXPECT_EQ(f.labels[0].text, "12");
    EXPECT_EQ(f.labels[2].text, "south");
    EXPECT_EQ(f.firstText, "north");
    EXPECT_EQ(f.firstTextRow, 4);
}
