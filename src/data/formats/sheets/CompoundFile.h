#pragma once

#include <string>
#include <vector>

namespace corvane {

// The names of the streams in the directory of an OLE2 compound file, the container of .xls
// workbooks and of password-protected Office documents. Only sectors inside the file are read
// and every chain is cut at the file's sector count, so a damaged or hostile directory yields
// the names found so far (none when the header is broken) and the content's reader says why.
std::vector<std::u16string> CompoundStreamNames(const std::string& path);

}  // namespace corvane
