#pragma once

#include <string>
#include <vector>

#include "common/Result.h"
#include "data/DataSet.h"
#include "data/ImportError.h"
#include "data/formats/sheets/SheetDates.h"
#include "data/formats/sheets/SheetReader.h"
#include "data/formats/sheets/Workbook.h"

namespace corvane {

class ZipPackage;

// An Office Open XML workbook (.xlsx, .xlsm): the sheet list and date mode from
// xl/workbook.xml, the sheets' parts from its relationships, the shared strings and the date
// formats once, then one sheet streamed cell by cell.
class XlsxReader : public SheetReader {
  public:
    explicit XlsxReader(ZipPackage& zip) : m_zip(zip) {}

    Result<std::vector<SheetInfo>, ImportError> sheets() override;
    Result<WorkbookRead, ImportError> read(const SheetChoice& choice) override;

  private:
    struct Sheet {
        std::string name;
        std::string part;
    };
    std::optional<ImportError> loadWorkbook();

    ZipPackage& m_zip;
    std::vector<Sheet> m_sheets;
    bool m_from1904 = false;
};

}  // namespace corvane
