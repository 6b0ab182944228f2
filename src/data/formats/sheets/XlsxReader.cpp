#include "data/formats/sheets/XlsxReader.h"

#include <unordered_map>

#include "data/formats/sheets/SheetChoiceIndex.h"
#include "data/formats/sheets/SheetTable.h"
#include "data/formats/sheets/WorksheetHandler.h"
#include "data/formats/sheets/XlsxValues.h"
#include "data/formats/sheets/XmlHandler.h"
#include "data/formats/sheets/ZipPackage.h"

namespace corvane {

namespace {

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
        if (!m_inText) return;
        if (m_current.size() + t.size() > WorksheetHandler::kMaxCellBytes)
            return fail(XlsxDamaged("a shared string is far too long"));
        m_current.append(t);
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
                if (auto n = ParseXlsxInt(id)) m_custom[*n] = code;
        } else if (name == "cellXfs") {
            m_inCellFormats = true;
        } else if (name == "xf" && m_inCellFormats) {
            const char* id = Attribute(a, "numFmtId");
            const std::int64_t n = id ? ParseXlsxInt(id).value_or(0) : 0;
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

}  // namespace

Result<std::vector<SheetInfo>, ImportError> XlsxReader::sheets() {
    auto parts = FindXlsxParts(m_zip, m_workbookPart);
    if (!parts) return parts.error();
    std::vector<SheetInfo> out;
    for (const XlsxParts::Sheet& s : parts.value().sheets) {
        WorksheetHandler measure(nullptr, nullptr, nullptr, false);
        if (auto e = m_zip.scan(s.part, measure)) return *e;
        out.push_back({s.name, measure.maxRow, measure.maxColumn});
    }
    return out;
}

Result<WorkbookRead, ImportError> XlsxReader::read(const SheetChoice& choice) {
    auto found = FindXlsxParts(m_zip, m_workbookPart);
    if (!found) return found.error();
    const XlsxParts& parts = found.value();
    std::vector<std::string> names;
    for (const XlsxParts::Sheet& s : parts.sheets) names.push_back(s.name);
    const auto index = SheetChoiceIndex(names, choice);
    if (!index) return index.error();

    StringsHandler strings;
    if (!parts.sharedStrings.empty())
        if (auto e = m_zip.parse(parts.sharedStrings, strings)) return *e;
    StylesHandler styles;
    if (!parts.styles.empty())
        if (auto e = m_zip.parse(parts.styles, styles)) return *e;

    SheetTable table;
    WorksheetHandler sheet(&table, &strings.strings, &styles.forms, parts.from1904);
    const XlsxParts::Sheet& chosen = parts.sheets[index.value()];
    if (auto e = m_zip.scan(chosen.part, sheet)) return *e;
    auto data = table.finish();
    if (!data) return data.error();
    return WorkbookRead{std::move(data.value()), chosen.name,
                        static_cast<std::int64_t>(index.value()) + 1, std::ssize(parts.sheets),
                        WorkbookKind::Xlsx};
}

}  // namespace corvane
