#include "data/formats/sheets/WorksheetHandler.h"

#include <charconv>
#include <cstring>

#include "data/formats/sheets/SheetTable.h"
#include "data/formats/sheets/XlsxValues.h"

namespace corvane {

namespace {

// The first value of each of the attributes r, t and s, whatever their prefix.
struct CellAttributes {
    const char* r = nullptr;
    const char* t = nullptr;
    const char* s = nullptr;

    explicit CellAttributes(const char** a) {
        for (; *a; a += 2) {
            // The name's last letter when that is all there is after its prefix.
            const char* name = a[0];
            char letter = 0;
            for (const char* c = name; *c; ++c) letter = c == name || c[-1] == ':' ? *c : 0;
            if (letter == 'r' && !r)
                r = a[1];
            else if (letter == 't' && !t)
                t = a[1];
            else if (letter == 's' && !s)
                s = a[1];
        }
    }
};

}  // namespace

void WorksheetHandler::start(std::string_view name, const char** a) {
    if (name == "c") {
        startCell(a);
    } else if (name == "v" || (name == "t" && m_inInline && !m_phonetic)) {
        m_inValue = true;
        m_hasValue = true;
    } else if (name == "row") {
        startRow(a);
    } else if (name == "is") {
        m_inInline = true;
    } else if (name == "rPh") {
        m_phonetic = true;
    } else if (name == "dimension" && !m_table) {
        measure(a);
    }
}

void WorksheetHandler::end(std::string_view name) {
    if (name == "v" || name == "t") {
        m_inValue = false;
    } else if (name == "c") {
        if (m_hasValue) cell();
    } else if (name == "is") {
        m_inInline = false;
    } else if (name == "rPh") {
        m_phonetic = false;
    }
}

void WorksheetHandler::text(std::string_view t) {
    if (!m_inValue) return;
    if (m_value.size() + t.size() > kMaxCellBytes)
        return fail(XlsxDamaged("a cell holds far too much text"));
    m_value.append(t);
}

void WorksheetHandler::startRow(const char** a) {
    const char* r = Attribute(a, "r");
    const auto n = r ? ParseXlsxInt(r) : std::nullopt;
    if (r && (!n || *n < 1)) return fail(XlsxDamaged("a row has the number " + std::string(r)));
    m_row = n ? *n : m_row + 1;
    m_column = 0;
}

void WorksheetHandler::startCell(const char** a) {
    const CellAttributes attributes(a);
    std::int64_t column = m_column + 1;
    if (attributes.r) {
        std::int64_t row = 0;
        if (!ParseCellReference(attributes.r, row, column))
            return fail(XlsxDamaged("a cell has the reference " + std::string(attributes.r)));
        if (row != 0 && row != m_row) m_row = row;
    }
    m_column = column;
    const std::string_view t = attributes.t ? attributes.t : "n";
    m_type = t == "n"                         ? Type::Number
             : t == "s"                       ? Type::Shared
             : t == "e"                       ? Type::Error
             : t == "inlineStr" || t == "str" ? Type::Text
             : t == "d"                       ? Type::Date
                                              : Type::OtherNumber;
    m_style = attributes.s ? ParseXlsxInt(attributes.s).value_or(-1) : 0;
    m_value.clear();
    m_hasValue = false;
}

void WorksheetHandler::measure(const char** a) {
    const char* ref = Attribute(a, "ref");
    const char* colon = ref ? std::strchr(ref, ':') : nullptr;
    std::int64_t row = 0, column = 0;
    if (colon && ParseCellReference(colon + 1, row, column) && row > 0) {
        maxRow = row;
        maxColumn = column;
        stop();
    }
}

void WorksheetHandler::cell() {
    if (m_type == Type::Error) return;  // an error value reads as missing
    if (!m_table) {
        maxRow = std::max(maxRow, m_row);
        maxColumn = std::max(maxColumn, m_column);
        return;
    }
    std::optional<ImportError> e;
    if (m_type == Type::Shared) {
        const auto i = ParseXlsxInt(m_value);
        if (!i || *i < 0 || *i >= std::ssize(*m_strings))
            return fail(XlsxDamaged("a cell refers to a shared string that does not exist"));
        e = m_table->text(m_row, m_column, (*m_strings)[static_cast<std::size_t>(*i)]);
    } else if (m_type == Type::Text) {
        e = m_table->text(m_row, m_column, m_value);
    } else if (m_type == Type::Date) {
        e = m_table->date(m_row, m_column, OdsDateText(m_value));
    } else {
        return number();
    }
    if (e) fail(std::move(*e));
}

void WorksheetHandler::number() {
    if (m_value.empty()) return;
    double v = 0.0;
    const char* end = m_value.data() + m_value.size();
    const auto r = std::from_chars(m_value.data(), end, v);
    if (r.ec == std::errc::result_out_of_range)
        return fail(ImportError::Of(ImportError::Kind::NumberTooLarge, m_row, m_column));
    if (r.ec != std::errc() || r.ptr != end)
        return fail(XlsxDamaged("a number cell holds " + m_value.substr(0, 40)));
    const DateForm form = m_style >= 0 && m_style < std::ssize(*m_forms)
                              ? (*m_forms)[static_cast<std::size_t>(m_style)]
                              : DateForm::None;
    const auto date = form != DateForm::None && m_type == Type::Number
                          ? SerialDateText(v, form, m_from1904)
                          : std::nullopt;
    auto e = date ? m_table->date(m_row, m_column, *date) : m_table->number(m_row, m_column, v);
    if (e) fail(std::move(*e));
}

}  // namespace corvane
