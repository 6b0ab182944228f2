#include "data/formats/sheets/XlsReasons.h"

#include <freexl.h>

namespace corvane::xls {

namespace {

constexpr const char* kReader = "the reader of Excel 97-2003 files";
constexpr const char* kSaveAsXlsx =
    "; save it as an .xlsx workbook in a spreadsheet program and import that";

std::string WorkbookKind(int version) {
    return version == 5   ? "an Excel 5.0/95 workbook"
           : version == 8 ? "an Excel 97-2003 workbook"
                          : "an Excel workbook";
}

std::string CodePageName(std::uint16_t codePage) {
    std::string name = "code page " + std::to_string(codePage);
    if (codePage == 65001) name += " (UTF-8)";
    return name;
}

// Why a workbook with a sheet whose cells lie beyond its claimed size was declined.
ImportError CellsOutsideClaim(const BiffFacts& facts, std::size_t bad,
                              std::optional<std::size_t> sheet) {
    const std::string number = std::to_string(bad + 1);
    if (facts.sheets[bad].usedRows <= 1) {
        if (sheet == bad || (!sheet && facts.sheets.size() == 1))
            return ImportError::Unreadable("the sheet holds no data rows");
        return ImportError::Unreadable("sheet " + number +
                                       " of the workbook holds no data rows, and " + kReader +
                                       " then reads none of its sheets; delete that sheet in a "
                                       "spreadsheet program and import the workbook again");
    }
    return ImportError::Unreadable("the workbook's sheet " + number +
                                   " claims fewer rows or columns than its cells fill, which " +
                                   kReader + " does not read" + kSaveAsXlsx);
}

}  // namespace

ImportError Stopped() {
    return ImportError::Unreadable(std::string("the workbook is damaged: ") + kReader +
                                   " stopped on it");
}

ImportError TimedOut(std::chrono::milliseconds limit) {
    const auto seconds = (limit.count() + 999) / 1000;
    return ImportError::Unreadable(
        std::string(kReader) + " did not finish within its time limit of " +
        std::to_string(seconds) + (seconds == 1 ? " second" : " seconds") +
        "; the workbook may be damaged");
}

ImportError MemoryLimit(std::int64_t bytes) {
    const std::int64_t mb = bytes >> 20;
    const std::string size =
        mb % 1024 == 0 ? std::to_string(mb / 1024) + " GB" : std::to_string(mb) + " MB";
    return ImportError::Unreadable("the workbook would take more than the " + size + " of memory " +
                                   kReader +
                                   " may use: its sheets claim more cells than that holds; it may "
                                   "be damaged");
}

ImportError NotStarted(const std::string& program) {
    return ImportError::Unreadable(std::string(kReader) + " (" + program +
                                   ") could not be started: ");
}

ImportError Failure(int code) {
    switch (code) {
        case FREEXL_INSUFFICIENT_MEMORY:
            return ImportError::Of(ImportError::Kind::OutOfMemory);
        case FREEXL_FILE_NOT_FOUND:
            return ImportError::Unreadable("the file cannot be opened");
        case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
            return ImportError::Unreadable(
                "the compound file holds no Excel workbook (an encrypted one is stored so)");
        case FREEXL_CRAFTED_FILE:
            return ImportError::Unreadable("the workbook is severely damaged");
        default:
            return ImportError::Unreadable("the workbook is damaged or not an Excel workbook (" +
                                           std::to_string(code) + ")");
    }
}

ImportError Declined(int code, const std::optional<BiffFacts>& facts, const Limit& memory,
                     std::optional<std::size_t> sheet) {
    if (facts && facts->claimBeyondASheet()) {
        const BiffSheet& s = facts->sheets[*facts->claimBeyondASheet()];
        return ImportError::Unreadable("the workbook is damaged: a sheet claims " +
                                       std::to_string(s.rows) + " rows and " +
                                       std::to_string(s.columns) + " columns");
    }
    if (memory.reached || (facts && facts->claimedGridBytes() > static_cast<double>(memory.bytes)))
        return MemoryLimit(memory.bytes);
    if (!facts) {
        if (code != FREEXL_OK) return Failure(code);
        return ImportError::Unreadable(std::string(kReader) +
                                       " declined the workbook; it may be damaged");
    }
    if (facts->password) return ImportError::PasswordProtected();
    if (facts->codePage != 0 && !FreeXlKnowsCodePage(facts->codePage))
        return ImportError::Unreadable("the file is " + WorkbookKind(facts->version) +
                                       " whose text is in " + CodePageName(facts->codePage) +
                                       ", which " + kReader + " does not read" + kSaveAsXlsx);
    for (std::size_t s = 0; s < facts->sheets.size(); ++s)
        if (facts->cellsOutsideClaim(s)) return CellsOutsideClaim(*facts, s, sheet);
    if (facts->version != 8)
        return ImportError::Unreadable("the file is " + WorkbookKind(facts->version) + ", which " +
                                       kReader + " does not read" + kSaveAsXlsx);
    if (code != FREEXL_OK) return Failure(code);
    return ImportError::Unreadable(std::string(kReader) +
                                   " declined the workbook; it may be damaged");
}

ImportError RichText(int version) {
    return ImportError::Unreadable("the sheet holds formatted text (rich text) of " +
                                   WorkbookKind(version) + ", which " + kReader +
                                   " would read as empty cells" + kSaveAsXlsx);
}

}  // namespace corvane::xls
