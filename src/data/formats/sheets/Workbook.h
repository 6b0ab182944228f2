#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/Result.h"
#include "data/DataSet.h"
#include "data/ImportError.h"

namespace corvane {

// The workbook formats read, told apart by content alone.
enum class WorkbookKind {
    None,  // not a workbook
    Xlsx,  // Office Open XML (.xlsx, .xlsm): a zip whose relationships name a workbook part
    Ods,   // OpenDocument spreadsheet: a zip whose mimetype entry says so
    Xls,   // the binary Excel format in an OLE2 compound file
    Zip,   // a zip archive whose first entry does not tell; ReadWorkbook looks inside
};

// The kind the first bytes of a file suggest (a few hundred are enough). A zip is told apart by
// its first entry only: an OpenDocument file stores its mimetype first, an Excel workbook starts
// with [Content_Types].xml or one of its folders.
WorkbookKind SniffWorkbook(std::string_view firstBytes);

// What a zip archive holds, looking inside: Xlsx or Ods for a workbook, Zip for anything else.
Result<WorkbookKind, ImportError> ZipArchiveKind(const std::string& path);

// One sheet of a workbook. Rows and columns span the sheet's used range, a names row included:
// an .xlsx sheet's own dimension record where it has one (otherwise its cells are counted), the
// cells with content of an .ods table, the dimension record of an .xls sheet.
struct SheetInfo {
    std::string name;
    std::int64_t rows = 0;
    std::int64_t columns = 0;
    // A file of a zip archive listed as a sheet is: its unpacked size; rows and columns are
    // not counted. -1 for a sheet.
    std::int64_t bytes = -1;
};

// Which sheet to read: the one named `name` when it is not empty, else the sheet numbered
// `number` (from 1), else the first.
struct SheetChoice {
    std::string name;
    std::int32_t number = 0;
};

Result<std::vector<SheetInfo>, ImportError> ListSheets(const std::string& path);

// A sheet read, with where it stands in its workbook, learnt in the same pass as its cells.
struct WorkbookRead {
    DataSet data;
    std::string sheet;        // the sheet's name
    std::int64_t number = 0;  // from 1
    // How many sheets the workbook has; 0 when an .ods table read whole is followed by content
    // that cannot be parsed, so the tables after it cannot be counted.
    std::int64_t count = 0;
    WorkbookKind kind = WorkbookKind::None;  // the reader's format: Xlsx, Ods or Xls
};

// Reads one sheet into a data set: the first row names the variables when it is a names line,
// as in a text file (a text cell counts as a quoted field); a column with any cell that is
// neither a number nor a missing value is a text column; dates are ISO text. The reader is
// picked by content, whatever the extension.
Result<DataSet, ImportError> ReadWorkbook(const std::string& path, const SheetChoice& sheet = {});
// The same, saying which sheet was read and how many the workbook has.
Result<WorkbookRead, ImportError> ReadWorkbookSheet(const std::string& path,
                                                    const SheetChoice& sheet = {});
// The same for a file whose first bytes were read already: `head`, at least the first eight.
Result<WorkbookRead, ImportError> ReadWorkbookSheet(const std::string& path, std::string_view head,
                                                    const SheetChoice& sheet);

// The same for a zipped workbook (.xlsx or .ods) held in memory.
Result<DataSet, ImportError> ReadWorkbookBytes(std::string_view bytes,
                                               const SheetChoice& sheet = {});

}  // namespace corvane
