#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "data/DataSet.h"
#include "data/ImportError.h"
#include "data/LabelDictionary.h"

namespace corvane {

// One text variable as a reader fills it: where a text becomes a label and a cell's code. The
// labels are coded 1, 2, ... in the order they are met, at most `maxLabels` of them, so that
// every code stays below the missing value. The column's first text cell and its row are kept
// for messages that point at it.
class TextColumn {
  public:
    TextColumn(std::int32_t column, std::int64_t maxLabels)
        : m_column(column), m_maxLabels(maxLabels) {}

    // Whether `text` can be a cell's text: it holds no control character (U+0000 to U+001F)
    // other than the tab and the line ends. No number, name or label does; a field that does is
    // an invalid entry, whichever reader meets it.
    static bool Admits(std::string_view text);

    // Sets `code` to the code of `text`, met on `row` (as messages count rows); a new text
    // becomes the next label. An invalid entry for a text Admits refuses; too many labels once
    // there are more than the cap.
    std::optional<ImportError> code(std::int64_t row, std::string_view text, float& code);
    // The column's first text cell as the file has it: kept unless one was kept before.
    void firstText(std::int64_t row, std::string_view text);

    std::int32_t column() const { return m_column; }
    // The variable's facts: a text variable with the labels in the order of their codes.
    VariableFacts facts() &&;

  private:
    std::int32_t m_column;
    std::int64_t m_maxLabels;
    LabelDictionary m_labels;
    std::string m_firstText;
    std::int64_t m_firstTextRow = 0;
};

}  // namespace corvane
