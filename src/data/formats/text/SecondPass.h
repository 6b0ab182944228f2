#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/Result.h"
#include "data/DataMatrix.h"
#include "data/DataSet.h"
#include "data/ImportError.h"
#include "data/TableBuilder.h"
#include "data/formats/text/FirstPass.h"
#include "data/formats/text/TextDialect.h"

namespace corvane {

// What the second pass learns besides the cells and the text columns.
struct SecondPassResult {
    std::int32_t variables = 0;  // the most fields on any line
    std::vector<std::string> names;
};

// Splits, classifies and stores every field of the open file `fd` into `matrix`, sized from
// the outline, the outline's pieces on `threads` threads (0: one per core). The result and the
// error are those of reading the file front to back: the first faulty field in file order is
// the one reported, whatever the thread count. With `textColumns` (a table) a column that holds
// text becomes a text variable (see CodeTextColumns).
// The dialect's decimal comma reads "72,9" as a number (see StoreLine); its code page decides
// what a name is.
Result<SecondPassResult, ImportError> RunSecondPass(int fd, const TextDialect& dialect,
                                                    const FileOutline& outline, unsigned threads,
                                                    bool textColumns, DataMatrix& matrix,
                                                    TableBuilder& table);

}  // namespace corvane
