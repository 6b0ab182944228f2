#pragma once

#include <QString>

#include "gui/platform/SingleInstanceDialog.h"

// "Open Output": replaces the pane's text with the lines of a file chosen in the browser, once
// the whole file has been read. Open and Cancel hide the dialog so its directory and chosen file
// are there at the next showing; the close box destroys it.
class frmOpenOutput : public SingleInstanceDialog<frmOpenOutput> {
    Q_OBJECT
  public:
    // Make it with new (or instance()): the close box deletes it later.
    explicit frmOpenOutput(OutputPane* pane, QWidget* parent = nullptr);

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

  private:
    void readChosenFile();
    OutputPane* m_pane;
    FileListChain* m_chain;
};
