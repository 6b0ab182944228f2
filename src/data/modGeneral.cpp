#include "data/modGeneral.h"

#include <utility>

namespace corvane::modGeneral {

DataMatrix g_sngData;
std::int32_t g_lngNumberOfCases = 0;
std::int32_t g_lngNumberOfVariables = 0;
std::vector<std::string> g_strVariableNames;

void Replace(DataMatrix matrix, std::int32_t cases, std::int32_t variables,
             std::vector<std::string> names) {
    g_sngData = std::move(matrix);
    g_lngNumberOfCases = cases;
    g_lngNumberOfVariables = variables;
    g_strVariableNames = std::move(names);
}

void ReadAsEmpty() {
    g_lngNumberOfCases = 0;
    g_lngNumberOfVariables = 0;
}

void Clear() { Replace(DataMatrix(), 0, 0, {}); }

}  // namespace corvane::modGeneral
