#pragma once

#include "gui/platform/RememberedFolder.h"

class QWidget;
class OutputPane;

// "Do you want to save the contents of the output?" (Yes / No / Cancel) and the save dialog a
// Yes leads to: asked by Exit before the program ends, and by Open Output and Clear Output
// before they replace output that was not saved.
class SaveQuestion {
  public:
    enum class Outcome {
        Cancelled,  // Cancel: nothing is to happen
        Discarded,  // No: go on without saving
        Saved,      // Yes, and the pane was saved
        NotSaved,   // Yes, but the dialog was cancelled or the save failed and was given up
        BrokeDown,  // Yes, but the save broke down (no memory); its box has said so
    };

    SaveQuestion(QWidget* window, OutputPane* pane, RememberedFolder lastFolder);

    Outcome ask();
    // Whether the pane's text may be replaced: it is empty or saved, or the user had it saved or
    // chose to discard it.
    bool mayReplaceOutput();

  private:
    Outcome showSaveDialog();

    QWidget* m_window;
    OutputPane* m_pane;
    RememberedFolder m_lastFolder;
};
