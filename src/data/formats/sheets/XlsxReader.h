#pragma once

#include <string>
#include <vector>

#include "common/Result.h"
#include "data/DataSet.h"
#include "data/ImportError.h"
#include "data/formats/sheets/SheetReader.h"
#include "data/formats/sheets/Workbook.h"
#include "data/formats/sheets/XlsxParts.h"

namespace corvane {

class ZipPackage;

// An Office Open XML workbook (.xlsx, .xlsm): the sheet list and date mode from the workbook
// part, the other parts from its relationships (XlsxParts), the shared strings and the date
// formats once, then one sheet streamed cell by cell through XmlScanner.
class XlsxReader : public SheetReader {
  public:
    // `workbookPart` as FindWorkbookPart gives it.
    XlsxReader(ZipPackage& zip, std::string workbookPart)
        : m_zip(zip), m_workbookPart(std::move(workbookPart)) {}

    Result<std::vector<SheetInfo>, ImportError> sheets() override;
    Result<WorkbookRead, ImportError> read(const SheetChoice& choice) override;

  private:
    ZipPackage& m_zip;
    std::string m_workbookPart;
};

}  // namespace corvane
