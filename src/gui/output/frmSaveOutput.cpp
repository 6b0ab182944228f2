#include "gui/output/frmSaveOutput.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <utility>

#include "common/Messages.h"
#include "gui/output/OutputPane.h"
#include "gui/platform/FileSystemLists.h"
#include "gui/platform/FixedLayout.h"
#include "gui/platform/Guarded.h"
#include "gui/platform/MessageService.h"
#include "gui/platform/StringConversions.h"
#include "gui/platform/Twips.h"
#include "output/OutputFile.h"

frmSaveOutput::frmSaveOutput(OutputPane* pane, QWidget* parent, RememberedFolder lastFolder)
    : SingleInstanceDialog(QStringLiteral("frmSaveOutput"), QStringLiteral("Save Output"), parent,
                           std::move(lastFolder)),
      m_pane(pane) {
    // Created in tab order.
    drvDrive = new DriveListBox(this);
    dirDirectory = new DirectoryListBox(this);
    filFile = new FileListBox(this);
    txtSavedFileName = new QLineEdit(this);
    txtSavedFileName->setObjectName(QStringLiteral("txtSavedFileName"));
    lblFileName = new QLabel(QStringLiteral("File name:"), this);
    lblFileName->setObjectName(QStringLiteral("lblFileName"));
    cmdSave = new QPushButton(QStringLiteral("Save"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    // Enter in the name field presses no button.
    NeverDefault({cmdSave, cmdCancel});

    Twips::place(drvDrive, 240, 240, 2415, 315);
    Twips::place(dirDirectory, 240, 600, 2415, 1665);
    Twips::place(filFile, 2880, 240, 2415, 2040);
    Twips::place(txtSavedFileName, 2880, 2400, 2415, 285);
    Twips::place(lblFileName, 2040, 2400, 735, 255);
    fitToTheLeft(lblFileName);
    Twips::place(cmdSave, 1320, 3120, 1215, 495);
    Twips::place(cmdCancel, 3000, 3120, 1215, 495);
    setFixedSize(Twips::toPixelsX(5595), Twips::toPixelsY(3825));

    chainTextFiles(drvDrive, dirDirectory, filFile);

    connect(filFile, &FileListBox::fileClicked, this, &frmSaveOutput::filFile_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmSaveOutput::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSaveOutput::cmdCancel_Click);

    drvDrive->setFocus();
}

void frmSaveOutput::filFile_Click(const QString& name) { txtSavedFileName->setText(name); }

void frmSaveOutput::cmdCancel_Click() { hide(); }

void frmSaveOutput::cmdSave_Click() {
    if (!Guarded(this, QString::fromUtf8(corvane::msg::kTitleSaveOutput),
                 [this] { saveToChosenFile(); }))
        emit failed();
}

void frmSaveOutput::saveToChosenFile() {
    const QString name = txtSavedFileName->text();  // not trimmed: blanks are a name
    if (name.isEmpty()) {
        MessageService::warning(this, QString::fromUtf8(corvane::msg::kTitleSaveOutput),
                                QString::fromUtf8(corvane::msg::kNoFileName));
        hide();
        return;
    }

    if (goToTypedFolder(name)) {
        txtSavedFileName->clear();  // a folder to look into, not a file to write
        return;
    }

    const std::string target = corvane::SaveTargetPath(ToNativePath(filFile->path()),
                                                       ToNativePath(name), ToNativePath(home()));
    const auto saved = corvane::SaveOutputFile(target, ToCore(m_pane->textCrlf()));
    if (!saved) {
        // The dialog stays for another choice.
        MessageService::warning(this, QString::fromUtf8(corvane::msg::kTitleSaveOutput),
                                FromCore(corvane::msg::SaveFailed(target, saved.error().reason,
                                                                  saved.error().oldFileLost)));
        return;
    }
    m_pane->markSaved();
    // The browser shows the file just written; the name field names it there.
    if (!usedFile(FromNativePath(target)))
        txtSavedFileName->setText(QFileInfo(FromNativePath(target)).fileName());
    filFile->refresh();
    emit this->saved(FromNativePath(target));
    hide();
}
