#pragma once

#include <vector>

#include "data/formats/FormatRow.h"

namespace corvane {

// The rows of packed files: gzip, bzip2 and xz streams, and zip archives. Each unpacks the file
// (a zip archive's chosen file) in pieces into a scratch file and reads that by the registry's
// row for it, told by its head and by the name without the packing's extension: "Read as:
// gzip-compressed comma-delimited text". A zip archive that holds a workbook is read as one by
// `workbookRead`; one of several files lists them as a workbook lists its sheets.
std::vector<FormatRow> PackedRows(decltype(FormatRow::read) workbookRead,
                                  decltype(FormatRow::sheets) workbookSheets);

}  // namespace corvane
