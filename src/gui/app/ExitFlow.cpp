#include "gui/app/ExitFlow.h"

#include <utility>

#include "common/Messages.h"
#include "gui/app/SaveQuestion.h"
#include "gui/platform/Guarded.h"
#include "gui/platform/MessageService.h"

ExitFlow::ExitFlow(QWidget* window, RememberedFolder lastOutputFolder)
    : m_window(window), m_lastOutputFolder(std::move(lastOutputFolder)) {}

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
    const auto exit = MessageService::warning(
        m_window, QString::fromUtf8(corvane::msg::kTitleProgram),
        QString::fromUtf8(corvane::msg::kConfirmExit), MessageService::Buttons::YesNoCancel);
    if (exit != MessageService::Answer::Yes) return false;

    // A cancelled or refused save is no reason to stay; a save that broke down (its box has
    // said why) keeps the program going with the pane as it was.
    using Outcome = SaveQuestion::Outcome;
    const Outcome save = SaveQuestion(m_window, pane, m_lastOutputFolder).ask();
    return save != Outcome::Cancelled && save != Outcome::BrokeDown;
}
