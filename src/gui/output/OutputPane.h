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
    // caret, selection or scroll position; costs time in proportion to the report.
    void appendReport(const QString& crlfText);

    // The whole text with CR LF line breaks.
    QString textCrlf() const;
    // Replaces the whole text; CR LF, lone CR and lone LF all end a line.
    void setTextCrlf(const QString& crlfText);

    // The selection as CR LF text, and replacing it (used by Cut, Copy, Paste).
    QString selectedTextCrlf() const;
    void replaceSelection(const QString& crlfText);

    // The Edit menu's commands. Cut and Copy empty the clipboard first and then, while the pane
    // holds its window's focus, put the selection on it (Cut removing it); Paste replaces the
    // selection with the clipboard's text while the pane holds the focus. Clear empties the
    // pane wherever the focus is.
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
};
