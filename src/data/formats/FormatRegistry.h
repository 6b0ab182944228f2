#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data/formats/FormatRow.h"

namespace corvane {

// The formats the import reads, one row per reader, in order of preference. Detection, the
// file-type list and the file dialog's filters, the batch tool's help, the desktop entry's MIME
// types and the hint after a delimiter that misread a file all come from the rows.
class FormatRegistry {
  public:
    // The first row reads every file no row claims.
    explicit FormatRegistry(std::vector<FormatRow> rows) : m_rows(std::move(rows)) {}

    // The program's own: delimited text, the workbooks, the statistics files.
    static const FormatRegistry& Builtin();

    const std::vector<FormatRow>& rows() const { return m_rows; }

    // The row that reads a file whose first bytes are `head` and whose extension is `extension`
    // (see LowerExtension): the first whose sniff claims the head, else the first that lists the
    // extension, else the first row. The content decides before the name.
    const FormatRow& detect(std::string_view head, std::string_view extension) const;

    // Every row's MIME types in row order, each once.
    std::vector<std::string> mimeTypes() const;

    // A path's extension in lower case with its point: "/data/Trial.XLSX" -> ".xlsx".
    static std::string LowerExtension(const std::string& path);

  private:
    std::vector<FormatRow> m_rows;
};

}  // namespace corvane
