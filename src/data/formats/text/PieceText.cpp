#include "data/formats/text/PieceText.h"

namespace corvane {

std::int32_t PieceText::codeOf(std::int32_t column, std::int32_t columns, std::string_view text,
                               RecordPlace at) {
    if (dictionaryOf.empty()) dictionaryOf.assign(static_cast<std::size_t>(columns), -1);
    std::int32_t& d = dictionaryOf[column - 1];
    if (d < 0) {
        d = static_cast<std::int32_t>(dictionaries.size());
        dictionaries.emplace_back();
        firstText.push_back(at);
    }
    return dictionaries[d].codeOf(text);
}

void PieceText::noteTooLarge(std::int32_t column, std::int32_t columns, std::int64_t line) {
    if (tooLargeSeen.empty()) tooLargeSeen.assign(static_cast<std::size_t>(columns), false);
    if (tooLargeSeen[column - 1]) return;
    tooLargeSeen[column - 1] = true;
    tooLarge.emplace_back(line, column);
}

}  // namespace corvane
