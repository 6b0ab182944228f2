#include "output/frmOpenOutput.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
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

QPointer<frmOpenOutput>& theInstance() {
    static QPointer<frmOpenOutput> instance;
    return instance;
}

std::function<void(frmOpenOutput&)>& scriptedStep() {
    static std::function<void(frmOpenOutput&)> step;
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

frmOpenOutput::frmOpenOutput(OutputPane* pane, QWidget* parent) : QDialog(parent), m_pane(pane) {
    setObjectName(QStringLiteral("frmOpenOutput"));
    setWindowTitle(QStringLiteral("Open Output"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);

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
    lblSelectedFile = new QLabel(this);
    lblSelectedFile->setObjectName(QStringLiteral("lblSelectedFile"));
    // A read-only field: a file name is shown as it is, never as markup.
    lblSelectedFile->setTextFormat(Qt::PlainText);
    lblSelectedFile->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lblSelectedFile->setAutoFillBackground(true);
    {
        QPalette p = lblSelectedFile->palette();
        p.setColor(QPalette::Window, p.color(QPalette::HighlightedText));
        lblSelectedFile->setPalette(p);
    }
    for (QPushButton* b : {cmdOpen, cmdCancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    Twips::place(cmdCancel, 3000, 3120, 1215, 495);
    Twips::place(cmdOpen, 1320, 3120, 1215, 495);
    Twips::place(filFile, 2880, 240, 2415, 2040);
    Twips::place(dirDirectory, 240, 600, 2415, 1665);
    Twips::place(drvDrive, 240, 240, 2415, 315);
    Twips::place(lblFileNameLabel, 2040, 2400, 735, 255);
    fitToTheLeft(lblFileNameLabel);
    Twips::place(lblSelectedFile, 2880, 2400, 2415, 255);
    setFixedSize(Twips::toPixelsX(5535), Twips::toPixelsY(3840));

    m_chain = new FileListChain(drvDrive, dirDirectory, filFile);
    m_chain->setPattern(QStringLiteral("*.txt"));

    connect(filFile, &FileListBox::fileClicked, this, &frmOpenOutput::filFile_Click);
    connect(cmdOpen, &QPushButton::clicked, this, &frmOpenOutput::cmdOpen_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOpenOutput::cmdCancel_Click);

    cmdCancel->setFocus();
}

frmOpenOutput* frmOpenOutput::instance(OutputPane* pane, QWidget* parent) {
    QPointer<frmOpenOutput>& instance = theInstance();
    if (!instance) instance = new frmOpenOutput(pane, parent);
    return instance;
}

frmOpenOutput* frmOpenOutput::existing() { return theInstance(); }

void frmOpenOutput::showModal(OutputPane* pane, QWidget* parent) {
    frmOpenOutput* dialog = instance(pane, parent);
    if (std::function<void(frmOpenOutput&)> step = std::exchange(scriptedStep(), nullptr)) {
        QMetaObject::invokeMethod(
            dialog, [dialog, step] { step(*dialog); }, Qt::QueuedConnection);
    }
    dialog->exec();
}

void frmOpenOutput::scriptNextShowing(std::function<void(frmOpenOutput&)> step) {
    scriptedStep() = std::move(step);
}

void frmOpenOutput::filFile_Click(const QString& name) { lblSelectedFile->setText(name); }

void frmOpenOutput::cmdCancel_Click() { hide(); }

void frmOpenOutput::cmdOpen_Click() {
    const QString name = lblSelectedFile->text();
    if (name.isEmpty()) {
        MessageService::warning(this, QString::fromUtf8(corvane::msg::kTitleOpenOutput),
                                QString::fromUtf8(corvane::msg::kNoFileSelected));
        hide();
        return;
    }

    // The name is looked up in the directory shown now, wherever it was chosen.
    const std::string source = corvane::JoinPath(filFile->path().toStdString(), name.toStdString());
    auto read = corvane::ReadOutputFile(source);
    if (!read) {
        // The pane keeps its text; the dialog stays for another choice.
        MessageService::warning(
            this, QString::fromUtf8(corvane::msg::kTitleOpenOutput),
            QString::fromStdString(corvane::msg::OpenFailed(source, read.error().reason)));
        return;
    }
    m_pane->setTextCrlf(QString::fromStdString(read.value()));
    emit opened(QString::fromStdString(source));
    hide();
}

void frmOpenOutput::keyPressEvent(QKeyEvent* event) {
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

void frmOpenOutput::closeEvent(QCloseEvent* event) {
    // Not WA_DeleteOnClose: exec() would then delete the dialog on every return, hides included.
    QDialog::closeEvent(event);
    if (event->isAccepted()) deleteLater();
}
