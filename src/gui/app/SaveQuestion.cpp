#include "gui/app/SaveQuestion.h"

#include <QObject>
#include <utility>

#include "common/Messages.h"
#include "gui/output/OutputPane.h"
#include "gui/output/frmSaveOutput.h"
#include "gui/platform/Guarded.h"
#include "gui/platform/MessageService.h"

SaveQuestion::SaveQuestion(QWidget* window, OutputPane* pane, RememberedFolder lastFolder)
    : m_window(window), m_pane(pane), m_lastFolder(std::move(lastFolder)) {}

SaveQuestion::Outcome SaveQuestion::ask() {
    const auto answer = MessageService::warning(
        m_window, QString::fromUtf8(corvane::msg::kTitleSaveOutput),
        QString::fromUtf8(corvane::msg::kConfirmSave), MessageService::Buttons::YesNoCancel);
    if (answer == MessageService::Answer::Cancel) return Outcome::Cancelled;
    if (answer == MessageService::Answer::No) return Outcome::Discarded;
    return showSaveDialog();
}

bool SaveQuestion::mayReplaceOutput() {
    if (!m_pane->holdsUnsavedOutput()) return true;
    const Outcome outcome = ask();
    return outcome == Outcome::Discarded || outcome == Outcome::Saved;
}

SaveQuestion::Outcome SaveQuestion::showSaveDialog() {
    // The last word of the dialog counts: a save that broke down and was then retried with
    // success saved the pane.
    Outcome outcome = Outcome::NotSaved;
    frmSaveOutput* dialog = frmSaveOutput::instance(m_pane, m_window, m_lastFolder);
    const QMetaObject::Connection onFailure = QObject::connect(
        dialog, &frmSaveOutput::failed, m_window, [&outcome] { outcome = Outcome::BrokeDown; });
    const QMetaObject::Connection onSave =
        QObject::connect(dialog, &frmSaveOutput::saved, m_window,
                         [&outcome](const QString&) { outcome = Outcome::Saved; });
    const bool shown = Guarded(m_window, "Save Output", [this] {
        frmSaveOutput::showModal(m_pane, m_window, m_lastFolder);
    });
    QObject::disconnect(onFailure);
    QObject::disconnect(onSave);
    return shown ? outcome : Outcome::BrokeDown;
}
