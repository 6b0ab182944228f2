#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/Result.h"
#include "data/ImportError.h"
#include "data/formats/sheets/Workbook.h"

namespace corvane {

// The index (from 0) of the chosen sheet among `names`, or why there is none.
Result<std::size_t, ImportError> SheetChoiceIndex(const std::vector<std::string>& names,
                                                  const SheetChoice& choice);

}  // namespace corvane
