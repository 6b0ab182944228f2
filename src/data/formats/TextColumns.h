#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "common/Result.h"
#include "data/DataMatrix.h"
#include "data/DataSet.h"
#include "data/ImportError.h"
#include "data/formats/FirstPass.h"
#include "data/formats/PieceText.h"
#include "data/formats/TextDialect.h"

namespace corvane {

// A text column holds at most this many labels: its codes stay below the missing value.
inline constexpr std::int64_t kMaxLabels = 9'999'998;

// The failure a front-to-back reading of a table meets first, given what the pieces before and
// including the one that stopped learned. `stopped` is the failure that ended the last of
// `pieces` (none when all ran to their end); a number too large for a single before it fails
// instead when its column held no text in what was read.
std::optional<ImportError> FirstTableFailure(std::span<const PieceText> pieces,
                                             std::optional<ImportError> stopped,
                                             std::int32_t columns);

// Gives every column that holds text in any piece one list of labels in the order of their
// first appearance in the file, and its cells the codes of that list: the pieces' dictionaries
// are merged in file order, cells recoded only where a piece's codes differ, and the fields a
// piece read as numbers before its first text in the column are read again from the open file
// `fd`. The facts are empty when no column holds text, else one per variable.
Result<std::vector<VariableFacts>, ImportError> CodeTextColumns(
    int fd, const TextDialect& dialect, const std::vector<Chunk>& chunks,
    const std::vector<PieceText>& pieces, std::int32_t variables, DataMatrix& matrix);

}  // namespace corvane
