#pragma once

#include <cstdint>
#include <string>

#include "data/formats/sheets/ChildSender.h"
#include "data/formats/sheets/Workbook.h"

namespace corvane {

// The helper program's side of the .xls reader: FreeXL on the workbook at `path`, its records
// sent through `send` (see XlsRecords.h). A workbook FreeXL declines is looked at without it to
// say what it is (see xls::Declined); `memoryLimit` is the helper's address-space limit.

// Each sheet: its name, rows and columns.
void SendXlsSheetList(const std::string& path, std::int64_t memoryLimit, ChildSender& send);
// Every cell of the chosen sheet, then which sheet it was of how many.
void SendXlsSheet(const std::string& path, const SheetChoice& choice, std::int64_t memoryLimit,
                  ChildSender& send);

}  // namespace corvane
