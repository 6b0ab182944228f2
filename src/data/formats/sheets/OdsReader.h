#pragma once

#include <optional>
#include <vector>

#include "common/Result.h"
#include "data/DataSet.h"
#include "data/ImportError.h"
#include "data/formats/sheets/SheetReader.h"
#include "data/formats/sheets/Workbook.h"

namespace corvane {

class ZipPackage;

// An OpenDocument spreadsheet: every table lives in content.xml, streamed once to read the
// chosen table and count the others (or, for the list, to measure them all). Repeated rows and
// cells are laid out only where they hold content, so the trailing blank rows and columns writers
// repeat to the sheet's end cost nothing.
class OdsReader : public SheetReader {
  public:
    explicit OdsReader(ZipPackage& zip) : m_zip(zip) {}

    Result<std::vector<SheetInfo>, ImportError> sheets() override;
    Result<WorkbookRead, ImportError> read(const SheetChoice& choice) override;

  private:
    std::optional<ImportError> refuseEncrypted();

    ZipPackage& m_zip;
};

}  // namespace corvane
