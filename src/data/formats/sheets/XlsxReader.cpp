#include "data/formats/sheets/XlsxReader.h"

#include <charconv>
#include <cstring>
#include <unordered_map>

#include "data/formats/sheets/SheetChoiceIndex.h"
#include "data/formats/sheets/SheetTable.h"
#include "data/formats/sheets/XmlStream.h"
#include "data/formats/sheets/ZipPackage.h"

namespace corvane {

namespace {

// Excel's own limit is 32,767 characters; anything far past it is not a spreadsheet's cell.
constexpr std::size_t kMaxCellBytes = std::size_t{1} << 20;

ImportError Damaged(const std::string& what) {
    return ImportError::Unreadable("the workbook is damaged: " + what);
}

bool IsTrue(const char* v) {
    return v && (std::strcmp(v, "1") == 0 || std::strcmp(v, "true") == 0);
}

std::optional<std::int64_t> ParseInt(std::string_view text) {
    std::int64_t v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
    return v;
}

// "B5" -> column 2, row 5; row 0 when the reference has no digits. Nothing when malformed.
bool ParseReference(std::string_view ref, std::int64_t& row, std::int64_t& column) {
    std::size_t i = 0;
    column = 0;
    while (i < ref.size() &&
           ((ref[i] >= 'A' && ref[i] <= 'Z') || (ref[i] >= 'a' && ref[i] <= 'z'))) {
        if (column > SheetTable::kMaxColumns) return false;
        column = column * 26 + ((ref[i] | 0x20) - 'a' + 1);
        ++i;
    }
    if (i == 0) return false;
    row = 0;
    if (i == ref.size()) return true;
    const auto r = ParseInt(ref.substr(i));
    if (!r || *r < 1) return false;
    row = *r;
    return true;
}

// Appends cell text, refusing a cell no spreadsheet could hold.
bool Append(std::string& to, std::string_view text) {
    if (to.size() + text.size() > kMaxCellBytes) return false;
    to.append(text);
    return true;
}

class WorkbookHandler : public XmlHandler {
  public:
    struct Entry {
        std::string name, id;
    };
    std::vector<Entry> sheets;
    bool from1904 = false;

    void start(std::string_view name, const char** a) override {
        if (name == "workbookPr") {
            from1904 = IsTrue(Attribute(a, "date1904"));
        } else if (name == "sheet") {
            const char* n = Attribute(a, "name");
            const char* id = Attribute(a, "id");
            sheets.push_back({n ? n : "", id ? id : ""});
        }
    }
    void end(std::string_view name) override {
        if (name == "sheets") stop();
    }
};

class RelationsHandler : public XmlHandler {
  public:
    std::unordered_map<std::string, std::string> targets;
    void start(std::string_view name, const char** a) override {
        if (name != "Relationship") return;
        const char* id = Attribute(a, "Id");
        const char* target = Attribute(a, "Target");
        if (id && target) targets[id] = target;
    }
    void end(std::string_view) override {}
};

// The shared strings: each <si> is the text of its runs, the phonetic guides left out.
class StringsHandler : public XmlHandler {
  public:
    std::vector<std::string> strings;
    void start(std::string_view name, const char**) override {
        if (name == "si") {
            m_current.clear();
        } else if (name == "rPh") {
            m_phonetic = true;
        } else if (name == "t" && !m_phonetic) {
            m_inText = true;
        }
    }
    void end(std::string_view name) override {
        if (name == "si") strings.push_back(std::move(m_current));
        if (name == "rPh") m_phonetic = false;
        if (name == "t") m_inText = false;
    }
    void text(std::string_view t) override {
        if (m_inText && !Append(m_current, t)) fail(Damaged("a shared string is far too long"));
    }

  private:
    std::string m_current;
    bool m_inText = false, m_phonetic = false;
};

// The cell formats that show a day count as a date or time.
class StylesHandler : public XmlHandler {
  public:
    std::vector<DateForm> forms;  // by cell format index
    void start(std::string_view name, const char** a) override {
        if (name == "numFmt") {
            const char* id = Attribute(a, "numFmtId");
            const char* code = Attribute(a, "formatCode");
            if (id && code)
                if (auto n = ParseInt(id)) m_custom[*n] = code;
        } else if (name == "cellXfs") {
            m_inCellFormats = true;
        } else if (name == "xf" && m_inCellFormats) {
            const char* id = Attribute(a, "numFmtId");
            const std::int64_t n = id ? ParseInt(id).value_or(0) : 0;
            const auto custom = m_custom.find(n);
            forms.push_back(NumberFormatForm(
                static_cast<int>(std::min<std::int64_t>(n, 1 << 20)),
                custom != m_custom.end() ? std::string_view(custom->second) : std::string_view()));
        }
    }
    void end(std::string_view name) override {
        if (name == "cellXfs") stop();
    }

  private:
    std::unordered_map<std::int64_t, std::string> m_custom;
    bool m_inCellFormats = false;
};

// One worksheet, cell by cell into the table; without a table it only measures the sheet,
// from its dimension record when that spans a range.
class SheetHandler : public XmlHandler {
  public:
    SheetHandler(SheetTable* table, const std::vector<std::string>* strings,
                 const std::vector<DateForm>* forms, bool from1904)
        : m_table(table), m_strings(strings), m_forms(forms), m_from1904(from1904) {}

    std::int64_t maxRow = 0, maxColumn = 0;

    void start(std::string_view name, const char** a) override {
        if (name == "row") {
            const char* r = Attribute(a, "r");
            const auto n = r ? ParseInt(r) : std::nullopt;
            if (r && (!n || *n < 1)) return fail(Damaged("a row has the number " + std::string(r)));
            m_row = n ? *n : m_row + 1;
            m_column = 0;
        } else if (name == "c") {
            const char* ref = Attribute(a, "r");
            std::int64_t row = 0, column = 0;
            if (ref) {
                if (!ParseReference(ref, row, column))
                    return fail(Damaged("a cell has the reference " + std::string(ref)));
                if (row != 0 && row != m_row) m_row = row;
            } else {
                column = m_column + 1;
            }
            m_column = column;
            const char* t = Attribute(a, "t");
            m_type = t ? t : "n";
            const char* s = Attribute(a, "s");
            m_style = s ? ParseInt(s).value_or(-1) : 0;
            m_value.clear();
            m_hasValue = false;
        } else if (name == "v" || (name == "t" && m_inInline && !m_phonetic)) {
            m_inValue = true;
            m_hasValue = true;
        } else if (name == "is") {
            m_inInline = true;
        } else if (name == "rPh") {
            m_phonetic = true;
        } else if (name == "dimension" && !m_table) {
            const char* ref = Attribute(a, "ref");
            const char* colon = ref ? std::strchr(ref, ':') : nullptr;
            std::int64_t row = 0, column = 0;
            if (colon && ParseReference(colon + 1, row, column) && row > 0) {
                maxRow = row;
                maxColumn = column;
                stop();
            }
        }
    }

    void end(std::string_view name) override {
        if (name == "v" || name == "t") {
            m_inValue = false;
        } else if (name == "is") {
            m_inInline = false;
        } else if (name == "rPh") {
            m_phonetic = false;
        } else if (name == "c" && m_hasValue) {
            cell();
        }
    }

    void text(std::string_view t) override {
        if (m_inValue && !Append(m_value, t)) fail(Damaged("a cell holds far too much text"));
    }

  private:
    void cell() {
        if (m_type == "e") return;  // an error value reads as missing
        if (!m_table) {
            maxRow = std::max(maxRow, m_row);
            maxColumn = std::max(maxColumn, m_column);
            return;
        }
        std::optional<ImportError> e;
        if (m_type == "s") {
            const auto i = ParseInt(m_value);
            if (!i || *i < 0 || *i >= std::ssize(*m_strings))
                return fail(Damaged("a cell refers to a shared string that does not exist"));
            e = m_table->text(m_row, m_column, (*m_strings)[static_cast<std::size_t>(*i)]);
        } else if (m_type == "inlineStr" || m_type == "str") {
            e = m_table->text(m_row, m_column, m_value);
        } else if (m_type == "d") {
            e = m_table->date(m_row, m_column, OdsDateText(m_value));
        } else {
            if (m_value.empty()) return;
            double v = 0.0;
            const char* end = m_value.data() + m_value.size();
            const auto r = std::from_chars(m_value.data(), end, v);
            if (r.ec == std::errc::result_out_of_range)
                return fail(ImportError::Of(ImportError::Kind::NumberTooLarge, m_row, m_column));
            if (r.ec != std::errc() || r.ptr != end)
                return fail(Damaged("a number cell holds " + m_value.substr(0, 40)));
            const DateForm form = m_style >= 0 && m_style < std::ssize(*m_forms)
                                      ? (*m_forms)[static_cast<std::size_t>(m_style)]
                                      : DateForm::None;
            const auto date = form != DateForm::None && m_type == "n"
                                  ? SerialDateText(v, form, m_from1904)
                                  : std::nullopt;
            e = date ? m_table->date(m_row, m_column, *date) : m_table->number(m_row, m_column, v);
        }
        if (e) fail(std::move(*e));
    }

    SheetTable* m_table;
    const std::vector<std::string>* m_strings;
    const std::vector<DateForm>* m_forms;
    bool m_from1904;
    std::int64_t m_row = 0, m_column = 0, m_style = 0;
    std::string m_type, m_value;
    bool m_hasValue = false, m_inValue = false, m_inInline = false, m_phonetic = false;
};

// A relationship target, relative to xl/ unless it starts at the package root.
std::string PartOf(const std::string& target) {
    if (!target.empty() && target[0] == '/') return target.substr(1);
    std::string t = target;
    std::string base = "xl/";
    while (t.rfind("../", 0) == 0) {
        t = t.substr(3);
        base.clear();
    }
    return base + t;
}

}  // namespace

std::optional<ImportError> XlsxReader::loadWorkbook() {
    WorkbookHandler workbook;
    if (auto e = m_zip.parse("xl/workbook.xml", workbook)) return e;
    RelationsHandler relations;
    if (m_zip.has("xl/_rels/workbook.xml.rels"))
        if (auto e = m_zip.parse("xl/_rels/workbook.xml.rels", relations)) return e;
    m_from1904 = workbook.from1904;
    for (std::size_t i = 0; i < workbook.sheets.size(); ++i) {
        const auto& s = workbook.sheets[i];
        const auto target = relations.targets.find(s.id);
        m_sheets.push_back({s.name, target != relations.targets.end()
                                        ? PartOf(target->second)
                                        : "xl/worksheets/sheet" + std::to_string(i + 1) + ".xml"});
    }
    if (m_sheets.empty()) return ImportError::Unreadable("the workbook has no sheets");
    return std::nullopt;
}

Result<std::vector<SheetInfo>, ImportError> XlsxReader::sheets() {
    if (auto e = loadWorkbook()) return *e;
    std::vector<SheetInfo> out;
    for (const Sheet& s : m_sheets) {
        SheetHandler measure(nullptr, nullptr, nullptr, false);
        if (auto e = m_zip.parse(s.part, measure)) return *e;
        out.push_back({s.name, measure.maxRow, measure.maxColumn});
    }
    return out;
}

Result<WorkbookRead, ImportError> XlsxReader::read(const SheetChoice& choice) {
    if (auto e = loadWorkbook()) return *e;
    std::vector<std::string> names;
    for (const Sheet& s : m_sheets) names.push_back(s.name);
    const auto index = SheetChoiceIndex(names, choice);
    if (!index) return index.error();

    StringsHandler strings;
    if (m_zip.has("xl/sharedStrings.xml"))
        if (auto e = m_zip.parse("xl/sharedStrings.xml", strings)) return *e;
    StylesHandler styles;
    if (m_zip.has("xl/styles.xml"))
        if (auto e = m_zip.parse("xl/styles.xml", styles)) return *e;

    SheetTable table;
    SheetHandler sheet(&table, &strings.strings, &styles.forms, m_from1904);
    if (auto e = m_zip.parse(m_sheets[index.value()].part, sheet)) return *e;
    auto data = table.finish();
    if (!data) return data.error();
    return WorkbookRead{std::move(data.value()), m_sheets[index.value()].name,
                        static_cast<std::int64_t>(index.value()) + 1, std::ssize(m_sheets),
                        WorkbookKind::Xlsx};
}

}  // namespace corvane
