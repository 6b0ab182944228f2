#include "data/LabelDictionary.h"

#include <utility>

namespace corvane {

std::int32_t LabelDictionary::codeOf(std::string_view text) {
    if (m_labels.size() <= kScanned) {
        for (std::size_t i = 0; i < m_labels.size(); ++i)
            if (m_labels[i] == text) return static_cast<std::int32_t>(i + 1);
    } else if (const auto it = m_codes.find(text); it != m_codes.end()) {
        return it->second;
    }
    m_labels.emplace_back(text);
    const auto code = static_cast<std::int32_t>(m_labels.size());
    if (m_labels.size() > kScanned) {
        if (m_codes.empty())
            for (std::size_t i = 0; i < m_labels.size(); ++i)
                m_codes.emplace(m_labels[i], static_cast<std::int32_t>(i + 1));
        else
            m_codes.emplace(m_labels.back(), code);
    }
    return code;
}

std::vector<std::string> LabelDictionary::release() {
    m_codes = {};
    return std::exchange(m_labels, {});
}

}  // namespace corvane
