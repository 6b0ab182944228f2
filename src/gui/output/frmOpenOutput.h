#pragma once

#include <QString>

#include "gui/platform/SingleInstanceDialog.h"

class QLineEdit;

// "Open Output": replaces the pane's text with the lines of a file chosen in the browser (or
// named with its folder in the name field), once the whole file has been read. Open and Cancel
// hide the dialog so its directory and chosen file are there at the next showing; the close box
// destroys it.
class frmOpenOutput : public SingleInstanceDialog<frmOpenOutput> {
    Q_OBJECT
  public:
    // Make it with new (or instance()): the close box deletes it later.
    // `lastFolder` keeps the folder last used for output between runs (none: nowhere).
    explicit frmOpenOutput(OutputPane* pane, QWidget* parent = nullptr,
                           RememberedFolder lastFolder = {});

    QPushButton* cmdCancel;
    QPushButton* cmdOpen;
    FileListBox* filFile;
    DirectoryListBox* dirDirectory;
    DriveListBox* drvDrive;
    QLabel* lblFileNameLabel;
    // The name of the file clicked last, or one typed.
    QLineEdit* txtSelectedFile;

    void cmdOpen_Click();
    void cmdCancel_Click();
    void filFile_Click(const QString& name);

  signals:
    // An open went through: the path read.
    void opened(const QString& path);

  private:
    void readChosenFile();
    OutputPane* m_pane;
};
