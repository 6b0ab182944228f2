#include "data/formats/rdata/RDataFrame.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>
#include <vector>

#include "common/CivilDate.h"
#include "common/Single.h"
#include "data/DataMatrix.h"
#include "data/OutOfMemory.h"
#include "data/TableBuilder.h"

namespace corvane {

namespace {

using Kind = ImportError::Kind;

// How a column is read.
enum class ColumnForm { Numbers, Factor, Labelled, Text, Date, Time };

std::string PlainNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

// Days from 1970-01-01 as ISO text, within years 1 to 9999; else the number.
std::string DateText(double days) {
    if (!(days >= -719162.0 && days < 2932897.0)) return PlainNumber(days);
    return IsoDateText(static_cast<std::int64_t>(std::floor(days)));
}

// Seconds from 1970-01-01 UTC as ISO text, milliseconds shown when there are any.
std::string TimeText(double seconds, bool utc) {
    const double millis = std::round(seconds * 1000.0);
    if (!(millis >= -62135596800000.0 && millis < 253402300800000.0)) return PlainNumber(seconds);
    const auto ms = static_cast<std::int64_t>(millis);
    const std::int64_t dayMillis = 86400000;
    const std::int64_t days = ms >= 0 ? ms / dayMillis : -((-ms + dayMillis - 1) / dayMillis);
    const std::int64_t within = ms - days * dayMillis;
    std::string text = IsoDateText(days) + " " + ClockText(within / 1000);
    if (const std::int64_t rest = within % 1000; rest != 0) {
        char buf[8];
        std::snprintf(buf, sizeof buf, ".%03lld", static_cast<long long>(rest));
        text += buf;
        while (text.back() == '0') text.pop_back();
    }
    return utc ? text : text + " UTC";
}

bool WrittenForUtc(const RObject& column) {
    const RObject* zone = column.attribute("tzone");
    if (!zone || zone->strings.empty()) return false;
    const std::string& z = zone->strings[0];
    return z == "UTC" || z == "GMT" || z == "Etc/UTC" || z == "Etc/GMT";
}

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

// The form of column `name`, or why it cannot be read.
Result<ColumnForm, ImportError> FormOf(const RObject& c, const std::string& name) {
    const auto refuse = [&](const std::string& what) {
        return ImportError::Unreadable("column " + Quoted(name) + " of the data frame holds " +
                                       what + ", which Corvane does not read");
    };
    const bool numbers = c.type == kRLogical || c.type == kRInteger || c.type == kRReal;
    if (c.attribute("dim")) return refuse(DescribeRObject(c));
    if (c.inherits("factor") && c.type == kRInteger) return ColumnForm::Factor;
    if (c.inherits("Date") && numbers) return ColumnForm::Date;
    if (c.inherits("POSIXct") && numbers) return ColumnForm::Time;
    if (c.inherits("haven_labelled") && numbers) return ColumnForm::Labelled;
    if (const RObject* cls = c.attribute("class")) {
        static constexpr std::array<const char*, 4> kPlain = {"difftime", "AsIs", "numeric",
                                                              "integer"};
        for (const std::string& k : cls->strings)
            if (std::find(kPlain.begin(), kPlain.end(), k) == kPlain.end() &&
                !(k == "haven_labelled_spss" || k == "vctrs_vctr" || k == "double"))
                return refuse("values of class " + Quoted(k));
    }
    if (numbers) return ColumnForm::Numbers;
    if (c.type == kRString) return ColumnForm::Text;
    return refuse(DescribeRObject(c));
}

// The labels of a factor's levels, coded 1..L, or of a labelled column's values.
Result<std::vector<ValueLabel>, ImportError> LabelsOf(const RObject& c, ColumnForm form,
                                                      std::int64_t column) {
    std::vector<ValueLabel> labels;
    if (form == ColumnForm::Factor) {
        const RObject* levels = c.attribute("levels");
        if (!levels) return labels;
        if (std::ssize(levels->strings) > TableBuilder::kMaxLabels)
            return ImportError::Of(Kind::TooManyLabels, 0, column);
        for (std::size_t i = 0; i < levels->strings.size(); ++i)
            labels.push_back({static_cast<float>(i + 1), levels->strings[i]});
    } else {
        const RObject* values = c.attribute("labels");
        const RObject* names = values ? values->attribute("names") : nullptr;
        if (!names || names->strings.size() != values->numbers.size()) return labels;
        for (std::size_t i = 0; i < values->numbers.size(); ++i) {
            const auto code = static_cast<float>(values->numbers[i]);
            if (std::isfinite(code)) labels.push_back({code, names->strings[i]});
        }
    }
    for (const ValueLabel& l : labels)
        if (!TextColumn::Admits(l.text))
            return ImportError::Unreadable("a label of column " + std::to_string(column) +
                                           " holds a control character");
    return labels;
}

struct Filling {
    std::vector<float>& cells;
    std::int64_t columns;
    TableBuilder& table;
};

// Column `j` (from 0) of `rows` cases into the cells.
std::optional<ImportError> FillColumn(const RObject& c, ColumnForm form, std::int32_t j,
                                      std::int64_t rows, Filling& f) {
    const bool text =
        form == ColumnForm::Text || form == ColumnForm::Date || form == ColumnForm::Time;
    const bool utc = form == ColumnForm::Time && WrittenForUtc(c);
    const auto levels = static_cast<double>(
        form == ColumnForm::Factor && c.attribute("levels") ? c.attribute("levels")->length : 0);
    for (std::int64_t row = 0; row < rows; ++row) {
        float& cell = f.cells[static_cast<std::size_t>(row * f.columns + j)];
        const auto at = static_cast<std::size_t>(row);
        const bool missing =
            form == ColumnForm::Text ? c.missing[at] != 0 : std::isnan(c.numbers[at]);
        if (missing) continue;  // the cell stays missing
        if (text) {
            const std::string value = form == ColumnForm::Text   ? c.strings[at]
                                      : form == ColumnForm::Date ? DateText(c.numbers[at])
                                                                 : TimeText(c.numbers[at], utc);
            if (value.empty()) continue;
            TextColumn& column = f.table.text(j + 1);
            if (auto e = column.code(row + 2, value, cell)) return e;
            column.firstText(row + 2, value);
            continue;
        }
        const double v = c.numbers[at];
        if (form == ColumnForm::Factor && (v < 1 || v > levels))
            return ImportError::Unreadable(
                "the R data file is damaged: a factor's code lies "
                "outside its levels");
        cell = static_cast<float>(v);
        if (!std::isfinite(cell)) return ImportError::Of(Kind::NumberTooLarge, row + 2, j + 1);
    }
    return std::nullopt;
}

}  // namespace

bool IsDataFrame(const RObject& o) { return o.type == kRList && o.inherits("data.frame"); }

std::int64_t DataFrameRows(const RObject& frame) {
    if (const RObject* names = frame.attribute("row.names")) {
        // NA, NA is no row count: the columns' lengths then disagree with the names' 2.
        if (names->type == kRInteger && names->length == 2 && names->numbers.size() == 2 &&
            std::isnan(names->numbers[0]) && !std::isnan(names->numbers[1]))
            return static_cast<std::int64_t>(std::fabs(names->numbers[1]));
        return names->length;
    }
    return frame.items.empty() ? 0 : frame.items[0].length;
}

std::string DescribeRObject(const RObject& o) {
    if (o.type < 0) return "a vector R stores in a form Corvane does not read (" + o.symbol + ")";
    if (IsDataFrame(o)) return "a data frame";
    if (o.inherits("factor")) return "a factor";
    const char* kind = nullptr;
    switch (o.type) {
        case kRLogical:
            kind = "logical";
            break;
        case kRInteger:
            kind = "integer";
            break;
        case kRReal:
            kind = "numeric";
            break;
        case kRComplex:
            kind = "complex";
            break;
        case kRString:
            kind = "character";
            break;
        case kRRaw:
            kind = "raw";
            break;
        default:
            break;
    }
    const std::string article = o.type == kRInteger ? "an " : "a ";
    if (const RObject* dim = o.attribute("dim"); dim && kind)
        return dim->length == 2 ? article + kind + " matrix"
                                : "an array of " + std::string(kind) + "s";
    if (const RObject* cls = o.attribute("class"); cls && !cls->strings.empty())
        return "an object of class \"" + cls->strings[0] + "\"";
    if (kind) return article + kind + " vector";
    switch (o.type) {
        case kRNull:
            return "NULL";
        case kRList:
            return "a list";
        case kRExpression:
            return "an expression";
        case kRClosure:
        case kRSpecial:
        case kRBuiltin:
            return "a function";
        case kREnvironment:
            return "an environment";
        case kRLanguage:
            return "a call";
        case kRSymbol:
            return "a symbol";
        case kRS4:
            return "an S4 object";
        default:
            return "an R object";
    }
}

Result<DataSet, ImportError> DataFrameToDataSet(const RObject& frame) {
    const std::int64_t rows = DataFrameRows(frame);
    const std::int64_t columns = std::ssize(frame.items);
    if (columns > DataMatrix::kMaxVariables || frame.length > columns)
        return ImportError::Of(Kind::TooManyFields, 1);
    if (columns == 0) return ImportError::Unreadable("the data frame has no columns");
    if (rows >= std::numeric_limits<std::int32_t>::max())
        return ImportError::Of(Kind::TooManyLines);
    const RObject* names = frame.attribute("names");
    std::vector<std::string> variableNames;
    std::vector<ColumnForm> forms;
    for (std::int64_t j = 0; j < columns; ++j) {
        const auto at = static_cast<std::size_t>(j);
        std::string name = names && at < names->strings.size() ? names->strings[at] : "";
        const RObject& c = frame.items[at];
        auto form = FormOf(c, name);
        if (!form) return form.error();
        const std::size_t held =
            form.value() == ColumnForm::Text ? c.strings.size() : c.numbers.size();
        if (c.length != rows || static_cast<std::int64_t>(held) != rows)
            return ImportError::Unreadable("the R data file is damaged: column " + Quoted(name) +
                                           " has " + std::to_string(c.length) +
                                           " values where the data frame has " +
                                           std::to_string(rows) + " rows");
        forms.push_back(form.value());
        variableNames.push_back(std::move(name));
    }
    return CatchingOutOfMemory([&]() -> Result<DataSet, ImportError> {
        std::vector<float> cells(static_cast<std::size_t>(rows * columns), kMissing);
        TableBuilder table;
        Filling f{cells, columns, table};
        for (std::int64_t j = 0; j < columns; ++j) {
            const RObject& c = frame.items[static_cast<std::size_t>(j)];
            const ColumnForm form = forms[static_cast<std::size_t>(j)];
            if (form == ColumnForm::Text || form == ColumnForm::Date || form == ColumnForm::Time)
                table.text(static_cast<std::int32_t>(j + 1));
            if (auto e = FillColumn(c, form, static_cast<std::int32_t>(j), rows, f)) return *e;
            if (form == ColumnForm::Factor || form == ColumnForm::Labelled) {
                auto labels = LabelsOf(c, form, j + 1);
                if (!labels) return labels.error();
                if (!labels.value().empty())
                    table.labelNumbers(static_cast<std::int32_t>(j + 1), std::move(labels.value()));
            }
        }
        const auto cases = static_cast<std::int32_t>(rows);
        const auto width = static_cast<std::int32_t>(columns);
        return DataSet(std::move(table).finish(DataMatrix(cases, width, std::move(cells)), cases,
                                               width, std::move(variableNames)));
    });
}

}  // namespace corvane
