#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/Result.h"
#include "data/ImportError.h"

namespace corvane {

class ZipPackage;

// Where an Office Open XML workbook keeps its parts, as its relationships say: the package's
// (_rels/.rels) name the workbook part, the workbook's name its sheets, shared strings and
// styles. Where a package lacks them, or they miss a part, the names Excel gives its parts stand
// in, relative to the workbook part.
struct XlsxParts {
    struct Sheet {
        std::string name;
        std::string part;
    };
    std::vector<Sheet> sheets;
    std::string sharedStrings;  // empty when the workbook has none
    std::string styles;         // empty when the workbook has none
    bool from1904 = false;
};

// The workbook part: the package's main document when its first element is a workbook, else
// xl/workbook.xml; nothing when the zip holds neither.
std::optional<std::string> FindWorkbookPart(ZipPackage& zip);

// The rest, from the workbook part and its relationships.
Result<XlsxParts, ImportError> FindXlsxParts(ZipPackage& zip, const std::string& workbookPart);

}  // namespace corvane
