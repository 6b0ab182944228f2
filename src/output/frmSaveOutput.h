#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class DriveListBox;
class DirectoryListBox;
class FileListBox;
class FileListChain;
class OutputPane;

// "Save Output": writes the pane's whole text to a file chosen in the browser. Save and Cancel
// hide the dialog so its directory and name are there at the next showing; the close box
// destroys it.
class frmSaveOutput : public QDialog {
    Q_OBJECT
  public:
    // Make it with new (or instance()): the close box deletes it later.
    explicit frmSaveOutput(OutputPane* pane, QWidget* parent = nullptr);

    // The single instance: created on first use, gone once closed from its title bar.
    static frmSaveOutput* instance(OutputPane* pane, QWidget* parent);
    // The instance if one exists, else null.
    static frmSaveOutput* existing();
    // Shows the single instance modally; returns once it has hidden itself or been closed.
    static void showModal(OutputPane* pane, QWidget* parent);
    // Test seam: the next showModal runs this inside its modal loop, once the dialog is up.
    static void scriptNextShowing(std::function<void(frmSaveOutput&)> step);

    DriveListBox* drvDrive;
    DirectoryListBox* dirDirectory;
    FileListBox* filFile;
    QLineEdit* txtSavedFileName;
    QLabel* lblFileName;
    QPushButton* cmdSave;
    QPushButton* cmdCancel;

    void cmdSave_Click();
    void cmdCancel_Click();
    void filFile_Click(const QString& name);

  signals:
    // A save went through: the path written.
    void saved(const QString& path);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    // The close box destroys the dialog (its buttons only hide it).
    void closeEvent(QCloseEvent* event) override;

  private:
    OutputPane* m_pane;
    FileListChain* m_chain;
};
