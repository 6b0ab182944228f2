#include "platform/SingleInstanceDialog.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "platform/FileSystemLists.h"

SingleInstanceDialogBase::SingleInstanceDialogBase(const QString& objectName, const QString& title,
                                                   QWidget* parent)
    : QDialog(parent) {
    setObjectName(objectName);
    setWindowTitle(title);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
}

void SingleInstanceDialogBase::neverDefault(std::initializer_list<QPushButton*> buttons) {
    for (QPushButton* b : buttons) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
}

void SingleInstanceDialogBase::fitToTheLeft(QLabel* label) {
    const int needed = label->sizeHint().width();
    const QRect r = label->geometry();
    if (needed > r.width()) label->setGeometry(r.right() + 1 - needed, r.top(), needed, r.height());
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

FileListChain* SingleInstanceDialogBase::chainTextFiles(DriveListBox* drive,
                                                        DirectoryListBox* directory,
                                                        FileListBox* file) {
    auto* chain = new FileListChain(drive, directory, file);
    chain->setPattern(QStringLiteral("*.txt"));
    return chain;
}

void SingleInstanceDialogBase::keyPressEvent(QKeyEvent* event) {
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

void SingleInstanceDialogBase::closeEvent(QCloseEvent* event) {
    // Not WA_DeleteOnClose: exec() would then delete the dialog on every return, hides included.
    QDialog::closeEvent(event);
    if (event->isAccepted()) deleteLater();
}
