#pragma once

#include <string>

#include "common/Result.h"
#include "data/DataSet.h"
#include "data/ImportError.h"
#include "data/formats/text/ImportOptions.h"
#include "data/formats/text/TextDialect.h"

namespace corvane {

// Reads a delimited text file twice: once to count its records (and the most fields in any,
// so the matrix is allocated once at its final size), once to split and classify every field.
// A line ends at CR LF, a lone CR or a lone LF; a record is a line, or several when a quoted
// field holds line ends, and each record is a case, which messages name by the line it starts
// on. A UTF-8 byte-order mark at the start is skipped. A first record of names (see
// ReadNamesLine) names the variables and the cases start with the second. A cell no field
// reaches is missing. A delimiter that would misread a file whose
// format detection reads otherwise is refused (ImportError::Kind::MisreadDelimiter). Throws
// std::bad_alloc when the matrix cannot be had.
Result<DataSet, ImportError> ReadDelimitedText(const std::string& path, char delimiter,
                                               const ImportOptions& options);
// The same in a dialect the sniffer found: a decimal comma, a separator line and notes lines
// that are no part of the data, names and labels in Windows-1252 turned into UTF-8.
Result<DataSet, ImportError> ReadDelimitedText(const std::string& path, const TextDialect& dialect,
                                               const ImportOptions& options);

}  // namespace corvane
