#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// The names of the streams in the directory of an OLE2 compound file, the container of .xls
// workbooks and of password-protected Office documents. Only sectors inside the file are read
// and every chain is cut at the file's sector count, so a damaged or hostile directory yields
// the names found so far (none when the header is broken) and the content's reader says why.
std::vector<std::u16string> CompoundStreamNames(const std::string& path);

// The bytes of the first stream named `name` (among the directory's, in order), at most
// `limit`, from the regular sectors or the mini stream (a stream under 4096 bytes); none when
// there is no such stream or its chain breaks before its size. Bounded as the names are.
std::optional<std::string> CompoundStream(const std::string& path, std::u16string_view name,
                                          std::size_t limit);

}  // namespace corvane
