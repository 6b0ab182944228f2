#pragma once

#include <cstdint>

#include "data/formats/text/TextSample.h"

namespace corvane {

// How many lines of notes (titles, sources, remarks) stand above the table in the sample's
// records, read with `delimiter`, whose shape is `fields` fields (at least two); 0 for none.
//
// The table starts at the first record of the file from which every nonempty sampled record
// (those of the middle and the end of the file too) is well-formed with `fields` fields; it must
// start within the records read from the file's start. The records above it are notes when each
// has fewer fields than the table and each nonempty one starts with a field that is neither a
// number nor a missing value, as titles and remarks do and data lines do not; blank lines among
// them are notes too. A names line one field short of the table right above it, where the
// table's first record is not itself a names line, is the table's names line: R's write.table
// leaves the row names' column unnamed.
std::int64_t NotesLines(const SampleRecords& records, char delimiter, std::int64_t fields,
                        bool windows1252);

}  // namespace corvane
