#include "gui/app/ImportWorkflow.h"

#include <QFileInfo>
#include <QSettings>
#include <utility>

#include "common/Messages.h"
#include "data/formats/ImportSummary.h"
#include "data/import/ImportDataFile.h"
#include "data/import/OtherFormatHint.h"
#include "data/modGeneral.h"
#include "gui/data/frmChooseSheet.h"
#include "gui/output/OutputPane.h"
#include "gui/platform/MessageService.h"
#include "gui/platform/StringConversions.h"

namespace {

const QString kLastImportFolder = QStringLiteral("import/lastFolder");

}  // namespace

ImportWorkflow::ImportWorkflow(QWidget* window, OutputPane* pane,
                               std::shared_ptr<QSettings> settings,
                               std::function<void(const std::string&)> betweenPasses)
    : QObject(window),
      m_window(window),
      m_pane(pane),
      m_settings(std::move(settings)),
      m_betweenPasses(std::move(betweenPasses)) {}

QString ImportWorkflow::lastFolder() const {
    if (!m_settings) return {};
    const QString folder = m_settings->value(kLastImportFolder).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

bool ImportWorkflow::chooseSheet(const QString& file, corvane::SheetChoice& sheet) {
    const std::string path = ToNativePath(file);
    const corvane::FormatRow& format = corvane::DetectDataFile(path);
    if (!format.sheets) return true;
    auto sheets = format.sheets(path);
    // A workbook whose sheets cannot be listed fails in the import, with its reason.
    if (!sheets || sheets.value().size() < 2) return true;
    QList<SheetEntry> entries;
    for (const corvane::SheetInfo& s : sheets.value())
        entries.push_back({FromCore(s.name), s.rows, s.columns});
    const int chosen = frmChooseSheet::ask(m_window, QFileInfo(file).fileName(), entries);
    if (chosen < 0) return false;
    sheet.number = chosen + 1;
    return true;
}

void ImportWorkflow::import(const QString& file, char delimiter) {
    namespace g = corvane::modGeneral;
    if (file.isEmpty()) {
        g::ReadAsEmpty();
        return;
    }
    const std::string path = ToNativePath(file);
    corvane::ImportOptions options;
    options.betweenPasses = m_betweenPasses;
    corvane::SheetChoice sheet;
    if (delimiter == corvane::kDetectFormat && !chooseSheet(file, sheet)) return;
    auto result = corvane::ImportDataFile(path, delimiter, options, sheet);
    if (!result) {
        std::string text = corvane::ImportErrorText(result.error(), path);
        if (delimiter != corvane::kDetectFormat)
            text += corvane::OtherFormatHint(result.error(), path);
        MessageService::warning(m_window, QString::fromUtf8(corvane::msg::kTitleDataEditor),
                                FromCore(text));
        return;
    }
    g::Replace(std::move(result).value());
    const auto data = g::Current();
    m_pane->appendReport(FromCore(corvane::ImportSummary(
        path, data->cases(), data->variables(), data->hasNames(), data->readAs(), data->source())));
    if (m_settings) m_settings->setValue(kLastImportFolder, QFileInfo(file).absolutePath());
    emit dataSetReplaced(file);
}
