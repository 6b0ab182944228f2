#include "common/PathJoin.h"

namespace corvane {

std::string JoinPath(const std::string& directory, const std::string& name) {
    if (directory.empty()) return name;
    std::size_t start = 0;
    while (start < name.size() && name[start] == '/') ++start;
    if (directory.back() == '/') return directory + name.substr(start);
    return directory + "/" + name.substr(start);
}

}  // namespace corvane
