#include "cli/CommandSupport.h"

#include <exception>
#include <filesystem>

#include "cli/CliArguments.h"
#include "common/Messages.h"
#include "data/import/ImportDataFile.h"

namespace corvane::cli {

std::string DisplayPath(const std::string& file) {
    try {
        return std::filesystem::absolute(file).lexically_normal().string();
    } catch (const std::exception&) {
        return file;
    }
}

DataSet Import(const DataFileChoice& choice, const std::string& shownPath) {
    auto imported = ImportDataFile(choice.file, choice.delimiter, {}, choice.sheet);
    if (!imported)
        throw UserError{ImportErrorText(imported.error(), shownPath, kDetectInBatchTool)};
    return std::move(imported).value();
}

void CheckInData(const std::vector<std::int32_t>& variables, const DataSet& data) {
    for (const std::int32_t v : variables) {
        if (v > data.variables()) throw UserError{msg::VariableNotInData(v, data.variables())};
    }
}

std::string WithLineEnds(const std::string& text, bool crlf) {
    std::string out;
    out.reserve(text.size() + (crlf ? text.size() / 16 : 0));
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (c == '\n' && crlf) out += '\r';
        out += c;
    }
    return out;
}

}  // namespace corvane::cli
