#pragma once

#include <cstdint>

#include "gui/platform/RememberedFolder.h"

class QWidget;
class OutputPane;

// How the main window ends. Exit and the close box ask whether to exit and then whether to
// save the output first; once the user has confirmed, the window closes for good.
class ExitFlow {
  public:
    enum class State {
        Running,    // nothing asked, or the user declined
        Asking,     // the questions are up; a close meanwhile is refused without asking again
        Confirmed,  // the window may close
        Ended,      // it has closed once; a later close goes through without a word
    };

    // `lastOutputFolder`: where the save dialog starts, and keeps the folder it saved in.
    explicit ExitFlow(QWidget* window, RememberedFolder lastOutputFolder = {});

    State state() const { return m_state; }
    bool confirmed() const { return m_state == State::Confirmed || m_state == State::Ended; }

    // The two questions, and the save dialog of `pane` when asked for; true once confirmed.
    bool confirm(OutputPane* pane);
    // A close of the window: asks first unless confirmed or asking already (a failure gets its
    // box); whether the window may close.
    bool mayClose(OutputPane* pane);
    // The close has gone through: true the first time only, when the program ends.
    bool endOnce();
    // Confirmed without asking, or back to running.
    void setConfirmed(bool confirmed);

  private:
    bool askQuestions(OutputPane* pane);

    QWidget* m_window;
    RememberedFolder m_lastOutputFolder;
    State m_state = State::Running;
};

// The exit flow as the number the main window has always shown: 1 once the exit is
// confirmed, else 0; setting 1 confirms without asking.
class UnloadFlag {
  public:
    explicit UnloadFlag(ExitFlow& flow) : m_flow(flow) {}
    UnloadFlag(const UnloadFlag&) = delete;
    UnloadFlag& operator=(const UnloadFlag&) = delete;

    operator std::int32_t() const { return m_flow.confirmed() ? 1 : 0; }
    UnloadFlag& operator=(std::int32_t value) {
        m_flow.setConfirmed(value == 1);
        return *this;
    }

  private:
    ExitFlow& m_flow;
};
