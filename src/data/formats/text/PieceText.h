#pragma once

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "data/LabelDictionary.h"

namespace corvane {

// Where a record stands: its place among the data's records (from 1, a names line included),
// which orders them and gives its row, and the line of the file it starts on, which messages
// name.
struct RecordPlace {
    std::int64_t record;
    std::int64_t line;
};

// What one piece of a table learns of its text columns while it stores its lines. From a
// column's first text in the piece on, its cells hold codes of the piece's own dictionary;
// before that they hold numbers, until the pieces are merged (see CodeTextColumns).
struct PieceText {
    // Per column: its dictionary, -1 for none; empty while no column of the piece holds text.
    std::vector<std::int32_t> dictionaryOf;
    std::vector<LabelDictionary> dictionaries;
    std::vector<RecordPlace> firstText;  // per dictionary: the record of its first text
    // The first number too large for a single in each column, as (line, column) in reading
    // order: a failure only if the column turns out to hold no text.
    std::vector<std::pair<std::int64_t, std::int32_t>> tooLarge;
    std::vector<bool> tooLargeSeen;  // per column, once one was seen

    bool holdsText(std::int32_t column) const {
        return !dictionaryOf.empty() && dictionaryOf[column - 1] >= 0;
    }
    // The code of `text` in `column` (of `columns`), which holds text from the record `at` on
    // if it did not before.
    std::int32_t codeOf(std::int32_t column, std::int32_t columns, std::string_view text,
                        RecordPlace at);
    void noteTooLarge(std::int32_t column, std::int32_t columns, std::int64_t line);
};

}  // namespace corvane
