#include "gui/output/frmOpenOutput.h"

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

frmOpenOutput::frmOpenOutput(OutputPane* pane, QWidget* parent, RememberedFolder lastFolder)
    : SingleInstanceDialog(QStringLiteral("frmOpenOutput"), QStringLiteral("Open Output"), parent,
                           std::move(lastFolder)),
      m_pane(pane) {
    // Created in tab order.
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdOpen = new QPushButton(QStringLiteral("Open"), this);
    cmdOpen->setObjectName(QStringLiteral("cmdOpen"));
    filFile = new FileListBox(this);
    dirDirectory = new DirectoryListBox(this);
    drvDrive = new DriveListBox(this);
    lblFileNameLabel = new QLabel(QStringLiteral("File name:"), this);
    lblFileNameLabel->setObjectName(QStringLiteral("lblFileNameLabel"));
    txtSelectedFile = new QLineEdit(this);
    txtSelectedFile->setObjectName(QStringLiteral("txtSelectedFile"));
    NeverDefault({cmdOpen, cmdCancel});

    Twips::place(cmdCancel, 3000, 3120, 1215, 495);
    Twips::place(cmdOpen, 1320, 3120, 1215, 495);
    Twips::place(filFile, 2880, 240, 2415, 2040);
    Twips::place(dirDirectory, 240, 600, 2415, 1665);
    Twips::place(drvDrive, 240, 240, 2415, 315);
    Twips::place(lblFileNameLabel, 2040, 2400, 735, 255);
    fitToTheLeft(lblFileNameLabel);
    Twips::place(txtSelectedFile, 2880, 2400, 2415, 285);
    setFixedSize(Twips::toPixelsX(5535), Twips::toPixelsY(3840));

    chainTextFiles(drvDrive, dirDirectory, filFile);

    connect(filFile, &FileListBox::fileClicked, this, &frmOpenOutput::filFile_Click);
    connect(cmdOpen, &QPushButton::clicked, this, &frmOpenOutput::cmdOpen_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOpenOutput::cmdCancel_Click);

    cmdCancel->setFocus();
}

void frmOpenOutput::filFile_Click(const QString& name) { txtSelectedFile->setText(name); }

void frmOpenOutput::cmdCancel_Click() { hide(); }

void frmOpenOutput::cmdOpen_Click() {
    Guarded(this, QString::fromUtf8(corvane::msg::kTitleOpenOutput), [this] { readChosenFile(); });
}

void frmOpenOutput::readChosenFile() {
    const QString name = txtSelectedFile->text();
    if (name.isEmpty()) {
        MessageService::warning(this, QString::fromUtf8(corvane::msg::kTitleOpenOutput),
                                QString::fromUtf8(corvane::msg::kNoFileSelected));
        hide();
        return;
    }

    if (goToTypedFolder(name)) {
        txtSelectedFile->clear();  // a folder to look into, not a file to read
        return;
    }

    // The name is looked up in the directory shown now, wherever it was chosen.
    const std::string source =
        corvane::TypedPath(ToNativePath(filFile->path()), ToNativePath(name), ToNativePath(home()));
    auto read = corvane::ReadOutputFile(source);
    if (!read) {
        // The pane keeps its text; the dialog stays for another choice.
        MessageService::warning(this, QString::fromUtf8(corvane::msg::kTitleOpenOutput),
                                FromCore(corvane::msg::OpenFailed(source, read.error().reason)));
        return;
    }
    m_pane->setTextCrlf(FromCore(read.value()));
    m_pane->markSaved();
    if (!usedFile(FromNativePath(source)))
        txtSelectedFile->setText(QFileInfo(FromNativePath(source)).fileName());
    emit opened(FromNativePath(source));
    hide();
}
