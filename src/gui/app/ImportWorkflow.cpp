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
#include "gui/platform/WhileBusy.h"

namespace {

const QString kLastImportFolder = QStringLiteral("import/lastFolder");

}  // namespace

ImportWorkflow::ImportWorkflow(QWidget* window, OutputPane* pane,
                               std::shared_ptr<QSettings> settings,
                               std::function<void(const std::string&)> betweenPasses,
                               const corvane::FormatRegistry& formats)
    : QObject(window),
      m_window(window),
      m_pane(pane),
      m_settings(std::move(settings)),
      m_betweenPasses(std::move(betweenPasses)),
      m_formats(formats) {}

QString ImportWorkflow::lastFolder() const {
    if (!m_settings) return {};
    const QString folder = m_settings->value(kLastImportFolder).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

bool ImportWorkflow::chooseSheet(const QString& file, corvane::SheetChoice& sheet) {
    const std::string path = ToNativePath(file);
    // Listing an .xls's sheets runs its reader, which may take as long as reading one.
    bool dataFrames = false;
    auto sheets = WhileBusy(
        m_window, [&]() -> corvane::Result<std::vector<corvane::SheetInfo>, corvane::ImportError> {
            const corvane::FormatRow& format = corvane::DetectDataFile(path, m_formats);
            dataFrames = format.source == corvane::DataSource::StatisticsFile;
            if (!format.sheets) return std::vector<corvane::SheetInfo>{};
            return format.sheets(path);
        });
    // A workbook whose sheets cannot be listed fails in the import, with its reason.
    if (!sheets || sheets.value().size() < 2) return true;
    QList<SheetEntry> entries;
    for (const corvane::SheetInfo& s : sheets.value())
        entries.push_back({FromCore(s.name), s.rows, s.columns, s.bytes});
    const int chosen =
        frmChooseSheet::ask(m_window, QFileInfo(file).fileName(), entries, dataFrames);
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
    if (m_importing) return;
    m_importing = true;
    const struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{m_importing};
    const std::string path = ToNativePath(file);
    corvane::ImportOptions options;
    options.betweenPasses = m_betweenPasses;
    corvane::SheetChoice sheet;
    if (delimiter == corvane::kDetectFormat && !chooseSheet(file, sheet)) return;
    auto result = WhileBusy(m_window, [&] {
        return corvane::ImportDataFile(path, delimiter, options, sheet, m_formats);
    });
    if (!result) {
        std::string text = corvane::ImportErrorText(result.error(), path);
        if (delimiter != corvane::kDetectFormat)
            text += corvane::OtherFormatHint(result.error(), path, m_formats);
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
