#pragma once

#include <QPlainTextEdit>
#include <QString>

// The output pane txtOutput: the program's one document. Its text is CR LF separated wherever
// it is read or written, whatever the widget keeps inside.
class OutputPane : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit OutputPane(QWidget* parent = nullptr);

    // Adds a report (CR LF line ends) at the very end of the text, without moving the user's
    // caret or selection, and scrolls so that the report's first line is at the top of the view,
    // or, near the end, so that all of it shows; costs time in proportion to the report. What
    // could be undone before is gone.
    void appendReport(const QString& crlfText);

    // Whether the pane holds text it did not hold when it was last saved or opened (or at
    // start): an empty pane has nothing to lose.
    bool holdsUnsavedOutput() const;
    // The text as it is now has been saved, or has just been opened.
    void markSaved();

    // The whole text with CR LF line breaks.
    QString textCrlf() const;
    // Replaces the whole text, which counts as not saved; CR LF, lone CR and lone LF all end a
    // line.
    void setTextCrlf(const QString& crlfText);

    // The selection as CR LF text, and replacing it (used by Cut, Copy, Paste).
    QString selectedTextCrlf() const;
    void replaceSelection(const QString& crlfText);

    // The Edit menu's commands. Cut and Copy empty the clipboard first and then, while the pane
    // holds its window's focus, put the selection on it (Cut removing it); Paste replaces the
    // selection with the clipboard's text while the pane holds the focus. Clear empties the
    // pane wherever the focus is, as one step that Undo takes back until the next append.
    void editCut();
    void editCopy();
    void editPaste();
    void clearOutput();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    // The keyboard's copy, cut and paste keep the pane's CR LF rule too.
    QMimeData* createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData* source) override;

  private:
    // The focus of the pane's window is in the pane.
    bool holdsWindowFocus() const;
    // Brings the lines from `firstLine` to the end into view as appendReport says.
    void showAppended(int firstLine);
};
