#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QLabel;
class QPushButton;
class DriveListBox;
class DirectoryListBox;
class FileListBox;
class FileListChain;
class OutputPane;

// "Open Output": replaces the pane's text with the lines of a file chosen in the browser, once
// the whole file has been read. Open and Cancel hide the dialog so its directory and chosen file
// are there at the next showing; the close box destroys it.
class frmOpenOutput : public QDialog {
    Q_OBJECT
  public:
    // Make it with new (or instance()): the close box deletes it later.
    explicit frmOpenOutput(OutputPane* pane, QWidget* parent = nullptr);

    // The single instance: created on first use, gone once closed from its title bar.
    static frmOpenOutput* instance(OutputPane* pane, QWidget* parent);
    // The instance if one exists, else null.
    static frmOpenOutput* existing();
    // Shows the single instance modally; returns once it has hidden itself or been closed.
    static void showModal(OutputPane* pane, QWidget* parent);
    // Test seam: the next showModal runs this inside its modal loop, once the dialog is up.
    static void scriptNextShowing(std::function<void(frmOpenOutput&)> step);

    QPushButton* cmdCancel;
    QPushButton* cmdOpen;
    FileListBox* filFile;
    DirectoryListBox* dirDirectory;
    DriveListBox* drvDrive;
    QLabel* lblFileNameLabel;
    QLabel* lblSelectedFile;

    void cmdOpen_Click();
    void cmdCancel_Click();
    void filFile_Click(const QString& name);

  signals:
    // An open went through: the path read.
    void opened(const QString& path);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    // The close box destroys the dialog (its buttons only hide it).
    void closeEvent(QCloseEvent* event) override;

  private:
    OutputPane* m_pane;
    FileListChain* m_chain;
};
