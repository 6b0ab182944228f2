// ReadWorkbook on arbitrary bytes written to a file, as FreeXL reads only from a path. The seeds
// are .xls workbooks, so most inputs are compound files that both the scan of the directory for
// an encrypted package and FreeXL see. FreeXL runs in the helper program corvane-xls-reader,
// built beside this target (build/fuzz/libexec/corvane) and found from its place; the look at
// the records of a workbook FreeXL declines runs there too. Every input ends in a data set or a
// message.
#include <cstdint>
#include <cstdio>
#include <string>

#include "WorkbookChecks.h"
#include "data/formats/sheets/Workbook.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = WriteFuzzFile("book.xls", reinterpret_cast<const char*>(data), size);
    const auto sheets = ListSheets(path);
    FUZZ_CHECK(sheets || !ImportErrorText(sheets.error(), path).empty());
    // Each read opens the file anew, and FreeXL lays out the grid a sheet claims on opening.
    const bool second = sheets && sheets.value().size() >= 2;
    CheckWorkbookRead(ReadWorkbook(path, second ? SheetChoice{"", 2} : SheetChoice{}));
    std::remove(path.c_str());
    return 0;
}
