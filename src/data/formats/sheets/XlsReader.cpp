#include "data/formats/sheets/XlsReader.h"

#include <sys/stat.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "data/formats/sheets/HelperLocation.h"
#include "data/formats/sheets/HelperProgram.h"
#include "data/formats/sheets/SheetTable.h"
#include "data/formats/sheets/XlsReasons.h"
#include "data/formats/sheets/XlsRecords.h"

namespace corvane {

namespace {

// The cells of the sheet read into the table, and which sheet it was.
struct SheetReceived {
    SheetTable table;
    std::string name;
    std::int64_t number = 0, count = 0;
    bool named = false;

    std::optional<ImportError> take(char t, ChildReceiver& receive) {
        std::int64_t row = 0, column = 0;
        if (t == kXlsRead) {
            named = receive.text(name) && receive.integer(number) && receive.integer(count);
            return named ? std::nullopt : std::optional(xls::Stopped());
        }
        if (!receive.integer(row) || !receive.integer(column)) return xls::Stopped();
        if (t == kXlsNumber) {
            double value = 0;
            if (!receive.real(value)) return xls::Stopped();
            return table.number(row, column, value);
        }
        std::string text;
        if ((t != kXlsText && t != kXlsDate) || !receive.text(text)) return xls::Stopped();
        return t == kXlsText ? table.text(row, column, text) : table.date(row, column, text);
    }
};

}  // namespace

XlsReader::XlsReader(std::string path, std::string helper, XlsLimits limits)
    : m_path(std::move(path)),
      m_helper(helper.empty() ? HelperProgramPath(kXlsHelperName) : std::move(helper)),
      m_limits(limits) {}

std::chrono::milliseconds XlsReader::timeLimit() const {
    if (m_limits.time.count() > 0) return m_limits.time;
    struct stat st {};
    const std::int64_t mb = ::stat(m_path.c_str(), &st) == 0 ? st.st_size >> 20 : 0;
    return std::chrono::seconds(60 + mb);
}

std::vector<std::string> XlsReader::arguments(const char* command) const {
    // The processor-time limit in whole seconds, at least one.
    const auto seconds =
        std::max<std::int64_t>(1, std::chrono::ceil<std::chrono::seconds>(timeLimit()).count());
    return {std::to_string(m_limits.memoryBytes), std::to_string(seconds), command, m_path};
}

Result<std::vector<SheetInfo>, ImportError> XlsReader::sheets() {
    std::vector<SheetInfo> out;
    HelperCall call{m_helper,       arguments("list"),          timeLimit(),
                    xls::Stopped(), xls::TimedOut(timeLimit()), xls::NotStarted(m_helper)};
    const auto failed = RunHelper(call, [&](char t, ChildReceiver& receive) {
        SheetInfo sheet;
        if (t != kXlsSheet || !receive.text(sheet.name) || !receive.integer(sheet.rows) ||
            !receive.integer(sheet.columns))
            return std::optional(xls::Stopped());
        out.push_back(std::move(sheet));
        return std::optional<ImportError>();
    });
    if (failed) return *failed;
    return out;
}

Result<WorkbookRead, ImportError> XlsReader::read(const SheetChoice& choice) {
    SheetReceived received;
    HelperCall call{m_helper,       arguments("read"),          timeLimit(),
                    xls::Stopped(), xls::TimedOut(timeLimit()), xls::NotStarted(m_helper)};
    call.args.push_back(std::to_string(std::max(0, choice.number)));
    call.args.push_back(choice.name);
    const auto failed =
        RunHelper(call, [&](char t, ChildReceiver& receive) { return received.take(t, receive); });
    if (failed) return *failed;
    if (!received.named) return xls::Stopped();
    auto data = received.table.finish();
    if (!data) return data.error();
    return WorkbookRead{std::move(data.value()), std::move(received.name), received.number,
                        received.count, WorkbookKind::Xls};
}

}  // namespace corvane
