#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Result.h"
#include "data/DataSet.h"
#include "data/ImportError.h"
#include "data/OpenDataFile.h"
#include "data/formats/sheets/Workbook.h"
#include "data/formats/text/ImportOptions.h"

namespace corvane {

class FormatRegistry;

// What a reader is handed: the file, its head as the import's front door read it, and the
// user's choices.
struct FormatInput {
    const std::string& path;
    const FileHead& head;
    const ImportOptions& options;  // how the text reader shares its work
    const SheetChoice& sheet;      // which sheet of a workbook, which file of a zip archive
    // The registry the file was detected by, which reads what a packed file holds (none: the
    // program's own).
    const FormatRegistry* formats = nullptr;
    // The file was unpacked from a packed one: a packed file in it is refused.
    bool unpacked = false;
};

// What a reader hands back: the data set, and what the summary's "Read as:" says of it.
struct FormatRead {
    DataSet data;
    std::string readAs;
    // The kind of file read where it is not the row's: that of the file a packed one held.
    std::optional<DataSource> source = std::nullopt;
};

// One reader of the registry, with everything the program says of its format.
struct FormatRow {
    // The format's name, with which the summary's "Read as:" starts: "Excel workbook".
    std::string name;
    // How the summary speaks of the file read: a text file, a workbook or a data file.
    DataSource source = DataSource::TextFile;
    // Lower case, with the point: ".xlsx". A file whose head no row claims is read by the first
    // row that lists its extension.
    std::vector<std::string> extensions;
    std::vector<std::string> mimeTypes;  // as the desktop entry lists them
    // The file-type list's entry, "Excel workbooks": the rows of one caption share one entry.
    std::string caption;
    // What the batch tool's help calls the format, ".xlsx, .xlsm, .xls, .ods workbooks": rows
    // of one phrase are named once.
    std::string help;
    // What a file of the format looks like, for the hint after a chosen delimiter could not
    // read it: "a spreadsheet workbook". Empty for text, whose hint names its dialect.
    std::string looksLike;
    // Whether a file's first bytes (see FileHead) say it is of this format; none when only its
    // extension can.
    std::function<bool(std::string_view head)> sniff;
    std::function<Result<FormatRead, ImportError>(const FormatInput& in)> read;
    // The sheets of a file of the format, for the user to choose from; none without sheets.
    std::function<Result<std::vector<SheetInfo>, ImportError>(const std::string& path)> sheets;
};

}  // namespace corvane
