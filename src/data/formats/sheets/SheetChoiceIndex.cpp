#include "data/formats/sheets/SheetChoiceIndex.h"

namespace corvane {

Result<std::size_t, ImportError> SheetChoiceIndex(const std::vector<std::string>& names,
                                                  const SheetChoice& choice) {
    if (names.empty()) return ImportError::Unreadable("the workbook has no sheets");
    if (!choice.name.empty()) {
        for (std::size_t i = 0; i < names.size(); ++i)
            if (names[i] == choice.name) return i;
        return ImportError::Unreadable("the workbook has no sheet named \"" + choice.name + "\"");
    }
    if (choice.number == 0) return std::size_t{0};
    if (choice.number < 1 || static_cast<std::size_t>(choice.number) > names.size())
        return ImportError::Unreadable("the workbook has no sheet " +
                                       std::to_string(choice.number) + ", only " +
                                       std::to_string(names.size()));
    return static_cast<std::size_t>(choice.number - 1);
}

}  // namespace corvane
