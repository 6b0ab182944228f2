#include "data/formats/sheets/OdsReader.h"

#include <charconv>
#include <cstring>

#include "data/FieldClassifier.h"
#include "data/formats/sheets/SheetChoiceIndex.h"
#include "data/formats/sheets/SheetDates.h"
#include "data/formats/sheets/SheetTable.h"
#include "data/formats/sheets/XmlStream.h"
#include "data/formats/sheets/ZipPackage.h"

namespace corvane {

namespace {

constexpr std::size_t kMaxCellBytes = std::size_t{1} << 20;

ImportError Damaged(const std::string& what) {
    return ImportError::Unreadable("the spreadsheet is damaged: " + what);
}

// A repeat count, at least 1; clamped at the sheet's size so sums cannot overflow.
std::int64_t Repeat(const char* text) {
    if (!text) return 1;
    std::int64_t v = 0;
    const auto r = std::from_chars(text, text + std::strlen(text), v);
    if (r.ec == std::errc::result_out_of_range) return SheetTable::kMaxRows * 2;
    if (r.ec != std::errc() || v < 1) return 1;
    return std::min(v, SheetTable::kMaxRows * 2);
}

// One cell's content as the file types it.
struct OdsCell {
    enum class Kind { Number, Text, Date } kind = Kind::Number;
    double number = 0.0;
    std::string text;
};

// The tables of content.xml. Without a table to fill it measures every table; with one it reads
// the chosen table into it and passes over the others, only counting them.
class ContentHandler : public XmlHandler {
  public:
    ContentHandler(SheetTable* table, const SheetChoice& choice)
        : m_table(table), m_choice(choice) {}

    // Every table when measuring; when reading, those up to the one read.
    std::vector<SheetInfo> sheets;
    std::int64_t tables = 0;
    // The index (from 0) of the table read whole, once its end was met.
    std::optional<std::size_t> read;

    void start(std::string_view name, const char** a) override {
        if (m_annotation > 0) {
            ++m_annotation;
            return;
        }
        if (name == "table" && !m_inTable) {
            m_inTable = true;
            ++tables;
            if (read) return;
            const char* n = Attribute(a, "name");
            sheets.push_back({n ? n : "", 0, 0});
            m_reading = m_table && chosen(sheets.back().name);
            m_row = 1;
        } else if (!m_inTable || !active()) {
            return;
        } else if (name == "table-row") {
            m_rowRepeat = Repeat(Attribute(a, "number-rows-repeated"));
            m_column = 1;
            m_rowCells.clear();
        } else if (name == "table-cell" || name == "covered-table-cell") {
            startCell(a);
        } else if (name == "annotation") {
            m_annotation = 1;
        } else if (m_inCell && name == "p") {
            if (m_paragraphs++ > 0) appendText("\n");
            m_inParagraph = true;
        } else if (m_inParagraph && name == "s") {
            const std::int64_t spaces = std::min<std::int64_t>(Repeat(Attribute(a, "c")), 1024);
            appendText(std::string(static_cast<std::size_t>(spaces), ' '));
        } else if (m_inParagraph && name == "tab") {
            appendText("\t");
        } else if (m_inParagraph && name == "line-break") {
            appendText("\n");
        }
    }

    void end(std::string_view name) override {
        if (m_annotation > 0) {
            --m_annotation;
            return;
        }
        if (!m_inTable || (!active() && name != "table")) return;
        if (name == "p") {
            m_inParagraph = false;
        } else if (name == "table-cell" || name == "covered-table-cell") {
            endCell();
        } else if (name == "table-row") {
            endRow();
        } else if (name == "table") {
            m_inTable = false;
            if (m_reading) read = sheets.size() - 1;
            m_reading = false;
        }
    }

    void text(std::string_view t) override {
        if (m_inParagraph && m_annotation == 0 && active()) appendText(t);
    }

  private:
    bool active() const { return !m_table || m_reading; }

    bool chosen(const std::string& name) const {
        if (!m_choice.name.empty()) return name == m_choice.name;
        const std::int64_t number = m_choice.number == 0 ? 1 : m_choice.number;
        return std::ssize(sheets) == number;
    }

    void appendText(std::string_view t) {
        if (!m_collect) return;
        if (m_cell.text.size() + t.size() > kMaxCellBytes)
            return fail(Damaged("a cell holds far too much text"));
        m_cell.text.append(t);
    }

    void startCell(const char** a) {
        m_inCell = true;
        m_paragraphs = 0;
        m_cellRepeat = Repeat(Attribute(a, "number-columns-repeated"));
        m_cell = OdsCell{};
        m_hasContent = false;
        m_collect = false;
        const char* type = Attribute(a, "value-type");
        if (!type) return;
        const std::string_view t = type;
        m_hasContent = true;
        if (t == "float" || t == "percentage" || t == "currency") {
            const char* v = Attribute(a, "value");
            m_cell.kind = OdsCell::Kind::Number;
            const auto number = v ? ReadWhole(v) : std::nullopt;
            if (!number) {
                // No readable value: take the text shown.
                m_cell.kind = OdsCell::Kind::Text;
                m_collect = true;
            } else {
                m_cell.number = *number;
            }
        } else if (t == "boolean") {
            const char* v = Attribute(a, "boolean-value");
            m_cell.number = v && std::strcmp(v, "true") == 0 ? 1.0 : 0.0;
        } else if (t == "date" || t == "time") {
            const char* v = Attribute(a, t == "date" ? "date-value" : "time-value");
            m_cell.kind = OdsCell::Kind::Date;
            if (v) {
                m_cell.text = t == "date" ? OdsDateText(v) : OdsTimeText(v);
            } else {
                m_cell.kind = OdsCell::Kind::Text;
                m_collect = true;
            }
        } else {
            m_cell.kind = OdsCell::Kind::Text;
            if (const char* v = Attribute(a, "string-value"))
                m_cell.text = v;
            else
                m_collect = true;
        }
    }

    void endCell() {
        m_inCell = false;
        m_inParagraph = false;
        if (m_hasContent) {
            if (m_column + m_cellRepeat - 1 > SheetTable::kMaxColumns)
                return fail(ImportError::Unreadable(
                    "a cell lies right of column XFD, the last column a sheet has"));
            if (m_column + m_cellRepeat - 1 > DataMatrix::kMaxVariables)
                return fail(ImportError::Of(ImportError::Kind::TooManyFields, m_row));
            m_rowCells.push_back({m_column, m_cellRepeat, std::move(m_cell)});
        }
        m_column += m_cellRepeat;
        if (m_column > SheetTable::kMaxColumns * 2) m_column = SheetTable::kMaxColumns * 2;
    }

    void endRow() {
        if (!m_rowCells.empty()) {
            const std::int64_t lastRow = m_row + m_rowRepeat - 1;
            if (lastRow > SheetTable::kMaxRows)
                return fail(ImportError::Unreadable("a cell lies below row " +
                                                    std::to_string(SheetTable::kMaxRows) +
                                                    ", the last row a sheet has"));
            SheetInfo& info = sheets.back();
            info.rows = std::max(info.rows, lastRow);
            for (const Placed& p : m_rowCells)
                info.columns = std::max(info.columns, p.column + p.repeat - 1);
            if (m_table) {
                for (std::int64_t r = m_row; r <= lastRow; ++r)
                    for (const Placed& p : m_rowCells)
                        for (std::int64_t c = p.column; c < p.column + p.repeat; ++c)
                            if (auto e = place(r, c, p.cell)) return fail(std::move(*e));
            }
        }
        m_row += m_rowRepeat;
        if (m_row > SheetTable::kMaxRows * 2) m_row = SheetTable::kMaxRows * 2;
    }

    std::optional<ImportError> place(std::int64_t row, std::int64_t column, const OdsCell& cell) {
        switch (cell.kind) {
            case OdsCell::Kind::Number:
                return m_table->number(row, column, cell.number);
            case OdsCell::Kind::Text:
                return m_table->text(row, column, cell.text);
            case OdsCell::Kind::Date:
                return m_table->date(row, column, cell.text);
        }
        return std::nullopt;
    }

    struct Placed {
        std::int64_t column, repeat;
        OdsCell cell;
    };

    SheetTable* m_table;
    SheetChoice m_choice;
    bool m_reading = false;
    bool m_inTable = false, m_inCell = false, m_inParagraph = false;
    bool m_hasContent = false, m_collect = false;
    int m_annotation = 0, m_paragraphs = 0;
    std::int64_t m_row = 1, m_rowRepeat = 1, m_column = 1, m_cellRepeat = 1;
    OdsCell m_cell;
    std::vector<Placed> m_rowCells;
};

// Whether the manifest marks content.xml as encrypted, as a password-protected file has it.
class ManifestHandler : public XmlHandler {
  public:
    bool encrypted = false;

    void start(std::string_view name, const char** a) override {
        if (name == "file-entry") {
            const char* path = Attribute(a, "full-path");
            m_content = path && std::string_view(path) == "content.xml";
        } else if (name == "encryption-data" && m_content) {
            encrypted = true;
            stop();
        }
    }
    void end(std::string_view name) override {
        if (name == "file-entry") m_content = false;
    }

  private:
    bool m_content = false;
};

}  // namespace

std::optional<ImportError> OdsReader::refuseEncrypted() {
    if (!m_zip.has("META-INF/manifest.xml")) return std::nullopt;
    // A manifest that does not parse is left alone: the content says what is wrong.
    ManifestHandler manifest;
    m_zip.parse("META-INF/manifest.xml", manifest);
    if (manifest.encrypted) return ImportError::PasswordProtected();
    return std::nullopt;
}

Result<std::vector<SheetInfo>, ImportError> OdsReader::sheets() {
    if (auto e = refuseEncrypted()) return *e;
    ContentHandler measure(nullptr, {});
    if (auto e = m_zip.parse("content.xml", measure)) return *e;
    if (measure.sheets.empty()) return ImportError::Unreadable("the spreadsheet has no tables");
    return measure.sheets;
}

Result<WorkbookRead, ImportError> OdsReader::read(const SheetChoice& choice) {
    if (auto e = refuseEncrypted()) return *e;
    SheetTable table;
    ContentHandler content(&table, choice);
    const auto failure = m_zip.parse("content.xml", content);
    // Past the chosen table the stream is read only to count the tables; a fault there costs
    // the count, not the data.
    if (failure && !content.read) return *failure;
    if (content.sheets.empty()) return ImportError::Unreadable("the spreadsheet has no tables");
    if (!content.read) {
        std::vector<std::string> names;
        for (const SheetInfo& s : content.sheets) names.push_back(s.name);
        auto index = SheetChoiceIndex(names, choice);
        return index ? ImportError::Unreadable("the spreadsheet has no such table") : index.error();
    }
    auto data = table.finish();
    if (!data) return data.error();
    const std::size_t at = *content.read;
    return WorkbookRead{std::move(data.value()), content.sheets[at].name,
                        static_cast<std::int64_t>(at) + 1, failure ? 0 : content.tables,
                        WorkbookKind::Ods};
}

}  // namespace corvane
