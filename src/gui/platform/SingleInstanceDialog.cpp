#include "gui/platform/SingleInstanceDialog.h"

#include <QLabel>

#include "gui/platform/FileSystemLists.h"

SingleInstanceDialogBase::SingleInstanceDialogBase(const QString& objectName, const QString& title,
                                                   QWidget* parent)
    : FixedDialog(objectName, title, parent, Keys::NoEscapeNoEnter, CloseBox::Unloads) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
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
