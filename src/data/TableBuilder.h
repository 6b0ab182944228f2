#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "data/DataMatrix.h"
#include "data/DataSet.h"
#include "data/TextColumn.h"

namespace corvane {

// What every reader fills to make a data set besides its cells: the text variables, each a
// TextColumn coding its labels, and the numeric variables whose codes the file labels. At the
// end it takes the cells, case by case, and the names, and makes each variable's facts.
class TableBuilder {
  public:
    // A text variable holds at most this many labels, whichever reader reads it: its codes stay
    // below the missing value 9999999, and msg::TooManyLabels names the cap.
    static constexpr std::int64_t kMaxLabels = 9'999'998;

    // `maxLabels` other than the cap only in tests, which cannot afford ten million labels.
    explicit TableBuilder(std::int64_t maxLabels = kMaxLabels) : m_maxLabels(maxLabels) {}

    // Variable `column` (from 1) holds text: its labels, made on first use.
    TextColumn& text(std::int32_t column);
    bool holdsText(std::int32_t column) const;
    // Variable `column` holds numbers, the codes of `labels` labelled: in any order, a code
    // given twice keeping its first label.
    void labelNumbers(std::int32_t column, std::vector<ValueLabel> labels);

    // The data set's contents: the cells, the counts and the names (none, or one per variable),
    // and one VariableFacts per variable when any holds text or labelled numbers, else none.
    DataSet::Contents finish(DataMatrix matrix, std::int32_t cases, std::int32_t variables,
                             std::vector<std::string> names) &&;

  private:
    std::int64_t m_maxLabels;
    std::vector<std::unique_ptr<TextColumn>> m_text;  // by column - 1; none for numbers
    std::vector<std::pair<std::int32_t, std::vector<ValueLabel>>> m_labelled;
};

}  // namespace corvane
