// ReadWorkbookBytes on arbitrary bytes, read as a zipped .xlsx or .ods. Every input ends in a
// data set or a message.
#include <cstdint>
#include <string_view>

#include "WorkbookChecks.h"
#include "data/formats/sheets/Workbook.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const SheetChoice& choice : {SheetChoice{}, SheetChoice{"", 2}})
        CheckWorkbookRead(ReadWorkbookBytes(bytes, choice));
    return 0;
}
