#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "data/DataMatrix.h"
#include "data/ImportError.h"
#include "data/TableBuilder.h"
#include "data/formats/text/FirstPass.h"
#include "data/formats/text/PieceText.h"
#include "data/formats/text/TextDialect.h"

namespace corvane {

// The failure a front-to-back reading of a table meets first, given what the pieces before and
// including the one that stopped learned. `stopped` is the failure that ended the last of
// `pieces` (none when all ran to their end); a number too large for a single before it fails
// instead when its column held no text in what was read.
std::optional<ImportError> FirstTableFailure(std::span<const PieceText> pieces,
                                             std::optional<ImportError> stopped,
                                             std::int32_t columns);

// Gives every column that holds text in any piece one list of labels in the order of their
// first appearance in the file, the table's TextColumn, and its cells the codes of that list:
// the pieces' dictionaries are merged in file order, cells recoded only where a piece's codes
// differ, and the fields a piece read as numbers before its first text in the column are read
// again from the open file `fd`.
std::optional<ImportError> CodeTextColumns(int fd, const TextDialect& dialect,
                                           const std::vector<Chunk>& chunks,
                                           const std::vector<PieceText>& pieces, DataMatrix& matrix,
                                           TableBuilder& table);

}  // namespace corvane
