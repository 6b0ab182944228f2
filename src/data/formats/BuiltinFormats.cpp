// The program's own formats: one row per reader, each read by the functions of its folder.
// Adding a reader is adding its row here and its folder beside text/, sheets/, stats/, rdata/
// and compressed/ (whose rows, which read what a packed file holds by the registry, are in
// PackedFormats.cpp).
#include <memory>
#include <utility>

#include "data/OpenDataFile.h"
#include "data/formats/FormatRegistry.h"
#include "data/formats/PackedFormats.h"
#include "data/formats/compressed/ScratchFile.h"
#include "data/formats/rdata/ReadRData.h"
#include "data/formats/sheets/Workbook.h"
#include "data/formats/stats/ReadStatisticsFile.h"
#include "data/formats/stats/StatFileKind.h"
#include "data/formats/text/ReadDelimitedText.h"
#include "data/formats/text/TextDialect.h"
#include "data/formats/text/Utf16Text.h"

namespace corvane {

namespace {

// The delimiter a single-column file is read with, from its name.
char DelimiterByName(const std::string& extension) {
    if (extension == ".csv") return ',';
    if (extension == ".tsv" || extension == ".tab") return '\t';
    return ' ';
}

// Delimited text in the dialect sniffed from samples of the file; `decodedFrom` is the encoding
// the summary names for text decoded to UTF-8 before (UTF-8: none).
Result<FormatRead, ImportError> ReadTextFile(const std::string& path, const ImportOptions& options,
                                             TextEncoding decodedFrom = TextEncoding::Utf8) {
    auto sample = SampleTextFile(path);
    if (!sample) return sample.error();
    if (sample.value().binary)
        return ImportError::Unreadable("it is neither a text file nor a data format Corvane reads");
    TextDialect dialect =
        SniffTextDialect(sample.value(), DelimiterByName(FormatRegistry::LowerExtension(path)));
    auto read = ReadDelimitedText(path, dialect, options);
    if (!read) return read.error();
    if (decodedFrom != TextEncoding::Utf8) dialect.encoding = decodedFrom;
    return FormatRead{std::move(read.value()), DescribeTextDialect(dialect)};
}

Result<FormatRead, ImportError> ReadText(const FormatInput& in) {
    return ReadTextFile(in.path, in.options);
}

// UTF-16 text decoded to UTF-8 in a scratch file named as the file is, and read as text.
Result<FormatRead, ImportError> ReadUtf16(const FormatInput& in) {
    const Utf16Form form = SniffUtf16(in.head.bytes);
    if (!form.utf16) return ImportError::Unreadable("it is not UTF-16 text");
    auto file = OpenDataFile(in.path);
    if (!file) return file.error();
    auto scratch = ScratchFile::Create(FormatRegistry::LowerExtension(in.path));
    if (!scratch) return scratch.error();
    ScratchFile& out = *scratch.value();
    auto failed = DecodeUtf16(file.value().get(), form, [&out](std::string_view utf8) {
        return out.write(utf8.data(), utf8.size());
    });
    if (!failed) failed = out.finish();
    if (failed) return *failed;
    return ReadTextFile(out.path(), in.options,
                        form.bigEndian ? TextEncoding::Utf16Be : TextEncoding::Utf16Le);
}

// After every other row's sniff: a format whose head has zero bytes is not taken for text.
FormatRow Utf16Row() {
    return {.name = "UTF-16 text",
            .source = DataSource::TextFile,
            .extensions = {},
            .mimeTypes = {},
            .caption = "Delimited text",
            .help = "delimited text and its delimiter, decimal comma and code page",
            .looksLike = "UTF-16 text",
            .sniff = [](std::string_view head) { return SniffUtf16(head).utf16; },
            .read = ReadUtf16,
            .sheets = {}};
}

FormatRow TextRow() {
    return {.name = "delimited text",
            .source = DataSource::TextFile,
            .extensions = {".txt", ".dat", ".csv", ".tsv"},
            .mimeTypes = {"text/csv", "text/tab-separated-values", "text/plain"},
            .caption = "Delimited text",
            .help = "delimited text and its delimiter, decimal comma and code page",
            .looksLike = {},
            .sniff = {},
            .read = ReadText,
            .sheets = {}};
}

FormatRow WorkbookRow(std::string name, std::vector<std::string> extensions,
                      std::vector<std::string> mimeTypes, std::string caption,
                      std::function<bool(WorkbookKind)> sniffed) {
    return {.name = std::move(name),
            .source = DataSource::Workbook,
            .extensions = std::move(extensions),
            .mimeTypes = std::move(mimeTypes),
            .caption = std::move(caption),
            .help = ".xlsx, .xlsm, .xls, .ods workbooks",
            .looksLike = "a spreadsheet workbook",
            .sniff = [sniffed](std::string_view head) { return sniffed(SniffWorkbook(head)); },
            .read = {},
            .sheets = ListSheets};
}

// The three workbook readers share one read: the content picks the reader once more (a zip
// whose first entry does not tell, read by the zip archive's row, is looked into), and "Read
// as:" names the format read:
// "Excel workbook, sheet "trial" (1 of 2)".
std::vector<FormatRow> WorkbookRows() {
    std::vector<FormatRow> rows = {
        WorkbookRow("Excel workbook", {".xlsx", ".xlsm"},
                    {"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet",
                     "application/vnd.ms-excel.sheet.macroEnabled.12"},
                    "Excel workbooks", [](WorkbookKind k) { return k == WorkbookKind::Xlsx; }),
        WorkbookRow("Excel 97-2003 workbook", {".xls"}, {"application/vnd.ms-excel"},
                    "Excel workbooks", [](WorkbookKind k) { return k == WorkbookKind::Xls; }),
        WorkbookRow("OpenDocument spreadsheet", {".ods"},
                    {"application/vnd.oasis.opendocument.spreadsheet"}, "OpenDocument spreadsheets",
                    [](WorkbookKind k) { return k == WorkbookKind::Ods; }),
    };
    const auto names = std::make_shared<const std::vector<std::string>>(
        std::vector<std::string>{rows[0].name, rows[1].name, rows[2].name});
    const auto read = [names](const FormatInput& in) -> Result<FormatRead, ImportError> {
        auto read = ReadWorkbookSheet(in.path, in.head.bytes, in.sheet);
        if (!read) return read.error();
        WorkbookRead& w = read.value();
        std::string as = (*names)[w.kind == WorkbookKind::Xls   ? 1
                                  : w.kind == WorkbookKind::Ods ? 2
                                                                : 0];
        if (w.count != 0)
            as += ", sheet \"" + w.sheet + "\" (" + std::to_string(w.number) + " of " +
                  std::to_string(w.count) + ")";
        return FormatRead{std::move(w.data), std::move(as)};
    };
    for (FormatRow& row : rows) row.read = read;
    return rows;
}

// A statistics file through ReadStat: "SPSS data file, 5 variables, 1 with value labels".
FormatRow StatisticsRow(std::string name, StatFileKind kind, std::vector<std::string> extensions,
                        std::vector<std::string> mimeTypes, std::string caption) {
    auto read = [kind, name](const FormatInput& in) -> Result<FormatRead, ImportError> {
        auto read = ReadStatisticsFile(in.path, kind, in.head.size);
        if (!read) return read.error();
        std::string as = DescribeStatisticsFile(name, read.value());
        return FormatRead{std::move(read.value()), std::move(as)};
    };
    return {.name = std::move(name),
            .source = DataSource::StatisticsFile,
            .extensions = std::move(extensions),
            .mimeTypes = std::move(mimeTypes),
            .caption = std::move(caption),
            .help = "SPSS, Stata and SAS files",
            .looksLike = "an SPSS, Stata or SAS data file",
            .sniff = [kind](std::string_view head) { return SniffStatisticsContent(head) == kind; },
            .read = std::move(read),
            .sheets = {}};
}

// An R data file, read by its content whichever row's name it has: "R data file" for an .rds,
// "R workspace, data frame "trial" (1 of 2)" for the data frame chosen from a workspace.
FormatRow RDataRow(std::string name, RDataKind kind, std::vector<std::string> extensions,
                   std::vector<std::string> mimeTypes) {
    auto read = [](const FormatInput& in) -> Result<FormatRead, ImportError> {
        auto read = ReadRData(in.path, in.head, in.sheet);
        if (!read) return read.error();
        std::string as = DescribeRDataRead(read.value());
        return FormatRead{std::move(read.value().data), std::move(as)};
    };
    return {.name = std::move(name),
            .source = DataSource::StatisticsFile,
            .extensions = std::move(extensions),
            .mimeTypes = std::move(mimeTypes),
            .caption = "R data files",
            .help = "R's .rds, .RData and .rda files",
            .looksLike = "an R data file",
            .sniff = [kind](std::string_view head) { return SniffRData(head) == kind; },
            .read = std::move(read),
            .sheets = kind == RDataKind::Workspace ? ListRDataFrames : nullptr};
}

std::vector<FormatRow> BuiltinRows() {
    std::vector<FormatRow> rows{TextRow()};
    std::vector<FormatRow> workbooks = WorkbookRows();
    const auto workbookRead = workbooks.front().read;
    for (FormatRow& row : workbooks) rows.push_back(std::move(row));
    rows.push_back(StatisticsRow("SPSS data file", StatFileKind::SpssData, {".sav"},
                                 {"application/x-spss-sav"}, "SPSS data files"));
    rows.push_back(StatisticsRow("SPSS compressed data file", StatFileKind::SpssCompressed,
                                 {".zsav"}, {}, "SPSS data files"));
    rows.push_back(StatisticsRow("SPSS portable file", StatFileKind::SpssPortable, {".por"},
                                 {"application/x-spss-por"}, "SPSS data files"));
    rows.push_back(StatisticsRow("Stata data file", StatFileKind::Stata, {".dta"},
                                 {"application/x-stata-dta"}, "Stata data files"));
    rows.push_back(StatisticsRow("SAS data set", StatFileKind::SasData, {".sas7bdat"},
                                 {"application/x-sas-data"}, "SAS data files"));
    rows.push_back(StatisticsRow("SAS transport file", StatFileKind::SasTransport, {".xpt"},
                                 {"application/x-sas-xport"}, "SAS data files"));
    // R's files come before the packed ones: an .rds is itself a gzip or xz stream.
    rows.push_back(
        RDataRow("R data file", RDataKind::SingleObject, {".rds"}, {"application/x-r-rds"}));
    rows.push_back(RDataRow("R workspace", RDataKind::Workspace, {".rdata", ".rda"},
                            {"application/x-r-data"}));
    for (FormatRow& row : PackedRows(workbookRead, ListSheets)) rows.push_back(std::move(row));
    rows.push_back(Utf16Row());
    return rows;
}

}  // namespace

const FormatRegistry& FormatRegistry::Builtin() {
    static const FormatRegistry builtin(BuiltinRows());
    return builtin;
}

}  // namespace corvane
