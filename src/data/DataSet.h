#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "data/DataMatrix.h"

namespace corvane {

// A loaded data set: the matrix, its two counts and the names from the file's first line (none
// when it had no names line; an empty name for a variable the line left unnamed). It never
// changes once made; the program shares it as std::shared_ptr<const DataSet>, so whoever holds
// one keeps reading the same data whatever is loaded meanwhile.
class DataSet {
  public:
    // What a reader fills in before the set is made; a fact about each variable joins here.
    struct Contents {
        DataMatrix matrix;
        std::int32_t cases = 0;
        std::int32_t variables = 0;
        std::vector<std::string> names;
    };

    // No data at all: no matrix, no cases, no variables.
    DataSet() : DataSet(Contents{}) {}
    explicit DataSet(Contents contents)
        : m_cases(contents.cases),
          m_variables(contents.variables),
          m_stored(std::make_shared<const Contents>(std::move(contents))) {}

    const DataMatrix& matrix() const { return m_stored->matrix; }
    std::int32_t cases() const { return m_cases; }
    std::int32_t variables() const { return m_variables; }
    const std::vector<std::string>& names() const { return m_stored->names; }
    bool hasNames() const { return !m_stored->names.empty(); }
    // The name of variable v (from 1), empty when it has none.
    const std::string& name(std::int32_t v) const { return VariableName(names(), v); }

    // The same matrix and names, read as having no cases and no variables: what an import
    // that ended before reading a file leaves. Shares the matrix rather than copying it.
    DataSet readAsEmpty() const {
        DataSet empty(*this);
        empty.m_cases = 0;
        empty.m_variables = 0;
        return empty;
    }

  private:
    // The counts the set is read with, which readAsEmpty sets below the stored ones.
    std::int32_t m_cases;
    std::int32_t m_variables;
    std::shared_ptr<const Contents> m_stored;
};

}  // namespace corvane
