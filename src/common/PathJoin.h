#pragma once

#include <string>

namespace corvane {

// Joins a directory and a name with "/", never doubling the separator: the one rule for every
// path the program puts together.
std::string JoinPath(const std::string& directory, const std::string& name);

}  // namespace corvane
