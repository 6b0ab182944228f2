#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace corvane {

// Texts coded 1, 2, ... in the order they were first met: the one dictionary every reader codes
// its labels with. A column mostly holds a few labels, which a scan finds faster than a hash;
// the hash takes over past kScanned labels.
class LabelDictionary {
  public:
    // The code of `text`, which becomes the next label when it is new.
    std::int32_t codeOf(std::string_view text);
    const std::vector<std::string>& labels() const { return m_labels; }
    std::int64_t size() const { return static_cast<std::int64_t>(m_labels.size()); }
    // The labels, the dictionary left empty: what a reader keeps once no more texts arrive.
    std::vector<std::string> release();

  private:
    static constexpr std::size_t kScanned = 8;

    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>{}(s);
        }
    };

    std::vector<std::string> m_labels;
    std::unordered_map<std::string, std::int32_t, Hash, std::equal_to<>> m_codes;
};

}  // namespace corvane
