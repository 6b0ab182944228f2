#pragma once

#include <QString>

#include "gui/platform/SingleInstanceDialog.h"

class QLineEdit;

// "Save Output": writes the pane's whole text to a file chosen in the browser, or named with its
// folder in the name field. Save and Cancel hide the dialog so its directory and name are there
// at the next showing; the close box destroys it.
class frmSaveOutput : public SingleInstanceDialog<frmSaveOutput> {
    Q_OBJECT
  public:
    // Make it with new (or instance()): the close box deletes it later.
    // `lastFolder` keeps the folder last used for output between runs (none: nowhere).
    explicit frmSaveOutput(OutputPane* pane, QWidget* parent = nullptr,
                           RememberedFolder lastFolder = {});

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
    // A save ended by a failure the program did not foresee (no memory); the box said so.
    void failed();

  private:
    void saveToChosenFile();
    OutputPane* m_pane;
};
