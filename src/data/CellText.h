#pragma once

#include <cstdint>
#include <string>

#include "common/NumberText.h"
#include "data/DataSet.h"

namespace corvane {

// How a present cell of variable v (from 1) reads to the user: a text cell as its label, a
// labelled number as "1 (control)", any other number in the general format.
inline std::string CellText(const DataSet& data, std::int32_t v, float cell) {
    const std::string* label = data.labelOf(v, cell);
    if (label == nullptr) return FormatSingle(cell);
    if (data.isText(v)) return *label;
    return FormatSingle(cell) + " (" + *label + ")";
}

}  // namespace corvane
