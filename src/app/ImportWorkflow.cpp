#include "app/ImportWorkflow.h"

#include <QFileInfo>
#include <QSettings>
#include <utility>

#include "common/Messages.h"
#include "data/formats/ImportDataFile.h"
#include "data/formats/ImportSummary.h"
#include "data/modGeneral.h"
#include "output/ui/OutputPane.h"
#include "platform/MessageService.h"
#include "platform/StringConversions.h"

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

void ImportWorkflow::import(const QString& file, char delimiter) {
    namespace g = corvane::modGeneral;
    if (file.isEmpty()) {
        g::ReadAsEmpty();
        return;
    }
    const std::string path = ToNativePath(file);
    corvane::ImportOptions options;
    options.betweenPasses = m_betweenPasses;
    auto result = corvane::ImportDataFile(path, delimiter, options);
    if (!result) {
        MessageService::warning(m_window, QString::fromUtf8(corvane::msg::kTitleDataEditor),
                                FromCore(corvane::ImportErrorText(result.error(), path)));
        return;
    }
    g::Replace(std::move(result).value());
    const auto data = g::Current();
    m_pane->appendReport(
        FromCore(corvane::ImportSummary(path, data->cases(), data->variables(), data->hasNames())));
    if (m_settings) m_settings->setValue(kLastImportFolder, QFileInfo(file).absolutePath());
    emit dataSetReplaced(file);
}
