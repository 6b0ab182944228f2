#include "output/frmSaveOutput.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPointer>
#include <QPushButton>

#include "common/Messages.h"
#include "output/OutputFile.h"
#include "output/OutputPane.h"
#include "platform/FileSystemLists.h"
#include "platform/MessageService.h"
#include "platform/Twips.h"

namespace {

QPointer<frmSaveOutput>& theInstance() {
    static QPointer<frmSaveOutput> instance;
    return instance;
}

std::function<void(frmSaveOutput&)>& scriptedStep() {
    static std::function<void(frmSaveOutput&)> step;
    return step;
}

// The caption sits just left of the field it names; in a font wider than the one the places were
// drawn for it grows to the left rather than being cut off.
void fitToTheLeft(QLabel* label) {
    const int needed = label->sizeHint().width();
    const QRect r = label->geometry();
    if (needed > r.width()) label->setGeometry(r.right() + 1 - needed, r.top(), needed, r.height());
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

}  // namespace

frmSaveOutput::frmSaveOutput(OutputPane* pane, QWidget* parent) : QDialog(parent), m_pane(pane) {
    setObjectName(QStringLiteral("frmSaveOutput"));
    setWindowTitle(QStringLiteral("Save Output"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);

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
    for (QPushButton* b : {cmdSave, cmdCancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    Twips::place(drvDrive, 240, 240, 2415, 315);
    Twips::place(dirDirectory, 240, 600, 2415, 1665);
    Twips::place(filFile, 2880, 240, 2415, 2040);
    Twips::place(txtSavedFileName, 2880, 2400, 2415, 285);
    Twips::place(lblFileName, 2040, 2400, 735, 255);
    fitToTheLeft(lblFileName);
    Twips::place(cmdSave, 1320, 3120, 1215, 495);
    Twips::place(cmdCancel, 3000, 3120, 1215, 495);
    setFixedSize(Twips::toPixelsX(5595), Twips::toPixelsY(3825));

    m_chain = new FileListChain(drvDrive, dirDirectory, filFile);
    m_chain->setPattern(QStringLiteral("*.txt"));

    connect(filFile, &FileListBox::fileClicked, this, &frmSaveOutput::filFile_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmSaveOutput::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSaveOutput::cmdCancel_Click);

    drvDrive->setFocus();
}

frmSaveOutput* frmSaveOutput::instance(OutputPane* pane, QWidget* parent) {
    QPointer<frmSaveOutput>& instance = theInstance();
    if (!instance) instance = new frmSaveOutput(pane, parent);
    return instance;
}

frmSaveOutput* frmSaveOutput::existing() { return theInstance(); }

void frmSaveOutput::showModal(OutputPane* pane, QWidget* parent) {
    frmSaveOutput* dialog = instance(pane, parent);
    if (std::function<void(frmSaveOutput&)> step = std::exchange(scriptedStep(), nullptr)) {
        QMetaObject::invokeMethod(
            dialog, [dialog, step] { step(*dialog); }, Qt::QueuedConnection);
    }
    dialog->exec();
}

void frmSaveOutput::scriptNextShowing(std::function<void(frmSaveOutput&)> step) {
    scriptedStep() = std::move(step);
}

void frmSaveOutput::filFile_Click(const QString& name) { txtSavedFileName->setText(name); }

void frmSaveOutput::cmdCancel_Click() { hide(); }

void frmSaveOutput::cmdSave_Click() {
    const QString name = txtSavedFileName->text();  // not trimmed: blanks are a name
    if (name.isEmpty()) {
        MessageService::warning(this, QString::fromUtf8(corvane::msg::kTitleSaveOutput),
                                QString::fromUtf8(corvane::msg::kNoFileName));
        hide();
        return;
    }

    const std::string target =
        corvane::SaveTargetPath(filFile->path().toStdString(), name.toStdString());
    const auto saved = corvane::SaveOutputFile(target, m_pane->textCrlf().toStdString());
    if (!saved) {
        // The file already there is untouched; the dialog stays for another choice.
        MessageService::warning(
            this, QString::fromUtf8(corvane::msg::kTitleSaveOutput),
            QString::fromStdString(corvane::msg::SaveFailed(target, saved.error().reason)));
        return;
    }
    filFile->refresh();
    emit this->saved(QString::fromStdString(target));
    hide();
}

void frmSaveOutput::keyPressEvent(QKeyEvent* event) {
    // Neither Escape nor Enter presses a button here.
    switch (event->key()) {
        case Qt::Key_Escape:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            event->accept();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

void frmSaveOutput::closeEvent(QCloseEvent* event) {
    // Not WA_DeleteOnClose: exec() would then delete the dialog on every return, hides included.
    QDialog::closeEvent(event);
    if (event->isAccepted()) deleteLater();
}
