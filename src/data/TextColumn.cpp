#include "data/TextColumn.h"

#include <cstdint>
#include <utility>

namespace corvane {

bool TextColumn::Admits(std::string_view text) {
    // The control characters refused, by their code: all below U+0020 but tab, LF and CR.
    constexpr std::uint32_t kRefused = ~((1u << '\t') | (1u << '\n') | (1u << '\r'));
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 && ((kRefused >> u) & 1u) != 0) return false;
    }
    return true;
}

std::optional<ImportError> TextColumn::code(std::int64_t row, std::string_view text, float& code) {
    if (!Admits(text)) return ImportError::Of(ImportError::Kind::InvalidEntry, row, m_column);
    const std::int32_t c = m_labels.codeOf(text);
    if (c > m_maxLabels) return ImportError::Of(ImportError::Kind::TooManyLabels, 0, m_column);
    code = static_cast<float>(c);
    return std::nullopt;
}

void TextColumn::firstText(std::int64_t row, std::string_view text) {
    if (m_firstTextRow != 0) return;
    m_firstText = text;
    m_firstTextRow = row;
}

VariableFacts TextColumn::facts() && {
    VariableFacts f;
    f.kind = VariableKind::Text;
    std::vector<std::string> labels = m_labels.release();
    f.labels.reserve(labels.size());
    float code = 0.0f;
    for (std::string& label : labels) f.labels.push_back({++code, std::move(label)});
    f.firstText = std::move(m_firstText);
    f.firstTextRow = m_firstTextRow;
    return f;
}

}  // namespace corvane
