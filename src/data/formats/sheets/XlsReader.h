#pragma once

#include <string>
#include <vector>

#include "common/Result.h"
#include "data/DataSet.h"
#include "data/ImportError.h"
#include "data/formats/sheets/SheetReader.h"
#include "data/formats/sheets/Workbook.h"

namespace corvane {

// The binary Excel format (.xls, BIFF 2 to 8) through FreeXL, which gives dates as ISO text
// already and every text as UTF-8.
class XlsReader : public SheetReader {
  public:
    explicit XlsReader(std::string path) : m_path(std::move(path)) {}

    Result<std::vector<SheetInfo>, ImportError> sheets() override;
    Result<WorkbookRead, ImportError> read(const SheetChoice& choice) override;

  private:
    std::string m_path;
};

}  // namespace corvane
