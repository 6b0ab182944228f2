#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/DataSet.h"

namespace corvane::test {

// Variable v's cells, case by case.
inline std::vector<float> Column(const DataSet& d, std::int32_t v) {
    std::vector<float> out;
    for (std::int32_t c = 1; c <= d.cases(); ++c) out.push_back(d.matrix()(c, v));
    return out;
}

// Variable v's label texts, in the order of their codes.
inline std::vector<std::string> Labels(const DataSet& d, std::int32_t v) {
    std::vector<std::string> out;
    for (const ValueLabel& l : d.facts(v).labels) out.push_back(l.text);
    return out;
}

}  // namespace corvane::test
