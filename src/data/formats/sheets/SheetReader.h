#pragma once

#include <vector>

#include "common/Result.h"
#include "data/ImportError.h"
#include "data/formats/sheets/Workbook.h"

namespace corvane {

// What each workbook format's reader does: list the sheets, and read one into a data set
// through a SheetTable. The reader is chosen by content (see Workbook.cpp).
class SheetReader {
  public:
    virtual ~SheetReader() = default;
    virtual Result<std::vector<SheetInfo>, ImportError> sheets() = 0;
    virtual Result<WorkbookRead, ImportError> read(const SheetChoice& choice) = 0;
};

}  // namespace corvane
