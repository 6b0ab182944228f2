#pragma once

#include <optional>
#include <vector>

#include "common/Result.h"
#include "data/DataSet.h"
#include "data/ImportError.h"
#include "data/formats/sheets/Workbook.h"

namespace corvane {

class ZipPackage;

// An OpenDocument spreadsheet: every table lives in content.xml, streamed once to list the
// tables and once more to read the chosen one. Repeated rows and cells are laid out only where
// they hold content, so the trailing blank rows and columns writers repeat to the sheet's end
// cost nothing.
class OdsReader {
  public:
    explicit OdsReader(ZipPackage& zip) : m_zip(zip) {}

    Result<std::vector<SheetInfo>, ImportError> sheets();
    Result<DataSet, ImportError> read(const SheetChoice& choice);

  private:
    std::optional<ImportError> refuseEncrypted();
    Result<std::vector<SheetInfo>, ImportError> tables();

    ZipPackage& m_zip;
};

}  // namespace corvane
