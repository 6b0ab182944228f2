#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "common/Result.h"
#include "data/DataSet.h"
#include "data/ImportError.h"
#include "data/formats/sheets/SheetReader.h"
#include "data/formats/sheets/Workbook.h"

namespace corvane {

// The name of the helper program that runs FreeXL (see XlsHelperMain.cpp).
inline constexpr const char* kXlsHelperName = "corvane-xls-reader";

// The limits the helper program runs under. FreeXL lays out the whole grid every sheet claims
// when it opens a workbook, so a damaged 5 KB file can ask for some hundred MB and seconds.
struct XlsLimits {
    std::int64_t memoryBytes = std::int64_t{1} << 30;  // address space
    // Wall-clock and processor time; zero: a minute, and a second more for each MB of the file.
    std::chrono::milliseconds time{0};
};

// The binary Excel format (.xls, BIFF 5 to 8) through FreeXL, which gives dates as ISO text
// already and every text as UTF-8. FreeXL runs in the helper program `helper` (by default the
// one beside the running program, see HelperProgramPath), which sends the cells; they are
// placed here, so the data set is built where it is used. A crash, a time-out or the memory
// limit ends the helper, never this program, and each has its message.
class XlsReader : public SheetReader {
  public:
    explicit XlsReader(std::string path, std::string helper = {}, XlsLimits limits = {});

    Result<std::vector<SheetInfo>, ImportError> sheets() override;
    Result<WorkbookRead, ImportError> read(const SheetChoice& choice) override;

  private:
    std::vector<std::string> arguments(const char* command) const;
    std::chrono::milliseconds timeLimit() const;

    std::string m_path;
    std::string m_helper;
    XlsLimits m_limits;
};

}  // namespace corvane
