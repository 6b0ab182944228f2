#include "gui/app/ExitFlow.h"

#include <QObject>

#include "common/Messages.h"
#include "gui/output/frmSaveOutput.h"
#include "gui/platform/Guarded.h"
#include "gui/platform/MessageService.h"

ExitFlow::ExitFlow(QWidget* window) : m_window(window) {}

bool ExitFlow::confirm(OutputPane* pane) {
    m_state = State::Asking;
    bool yes = false;
    try {
        yes = askQuestions(pane);
    } catch (...) {
        m_state = State::Running;
        throw;
    }
    m_state = yes ? State::Confirmed : State::Running;
    return yes;
}

bool ExitFlow::mayClose(OutputPane* pane) {
    if (m_state == State::Running) Guarded(m_window, "Exit", [this, pane] { confirm(pane); });
    return confirmed();
}

bool ExitFlow::endOnce() {
    if (m_state == State::Ended) return false;
    m_state = State::Ended;
    return true;
}

void ExitFlow::setConfirmed(bool confirmed) {
    if (confirmed && m_state != State::Ended) m_state = State::Confirmed;
    if (!confirmed) m_state = State::Running;
}

bool ExitFlow::askQuestions(OutputPane* pane) {
    using corvane::msg::kConfirmExit;
    using corvane::msg::kConfirmSave;
    const auto exit = MessageService::warning(
        m_window, QString::fromUtf8(corvane::msg::kTitleProgram), QString::fromUtf8(kConfirmExit),
        MessageService::Buttons::YesNoCancel);
    if (exit != MessageService::Answer::Yes) return false;

    const auto save = MessageService::warning(
        m_window, QString::fromUtf8(corvane::msg::kTitleSaveOutput),
        QString::fromUtf8(kConfirmSave), MessageService::Buttons::YesNoCancel);
    if (save == MessageService::Answer::Cancel) return false;
    return save == MessageService::Answer::No || saveBeforeExit(pane);
}

bool ExitFlow::saveBeforeExit(OutputPane* pane) {
    // A save that broke down (no memory) keeps the program going with the pane as it was.
    bool brokeDown = false;
    frmSaveOutput* dialog = frmSaveOutput::instance(pane, m_window);
    const QMetaObject::Connection onFailure = QObject::connect(
        dialog, &frmSaveOutput::failed, m_window, [&brokeDown] { brokeDown = true; });
    const QMetaObject::Connection onSave =
        QObject::connect(dialog, &frmSaveOutput::saved, m_window,
                         [&brokeDown](const QString&) { brokeDown = false; });
    const bool shown = Guarded(m_window, "Save Output",
                               [this, pane] { frmSaveOutput::showModal(pane, m_window); });
    QObject::disconnect(onFailure);
    QObject::disconnect(onSave);
    return shown && !brokeDown;
}
