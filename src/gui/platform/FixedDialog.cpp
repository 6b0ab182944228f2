#include "gui/platform/FixedDialog.h"

#include <QCloseEvent>
#include <QKeyEvent>

FixedDialog::FixedDialog(const QString& objectName, const QString& title, QWidget* parent,
                         Keys keys, CloseBox closeBox)
    : QDialog(parent), m_keys(keys), m_closeBox(closeBox) {
    setObjectName(objectName);
    setWindowTitle(title);
}

void FixedDialog::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Escape && m_keys == Keys::EscapeCloses) {
        event->accept();
        close();
        return;
    }
    const bool swallowed =
        key == Qt::Key_Escape ||
        (m_keys == Keys::NoEscapeNoEnter && (key == Qt::Key_Return || key == Qt::Key_Enter));
    if (swallowed) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void FixedDialog::closeEvent(QCloseEvent* event) {
    // Not WA_DeleteOnClose: exec() would then delete the window on every return, hides included.
    QDialog::closeEvent(event);
    if (event->isAccepted() && m_closeBox == CloseBox::Unloads) {
        m_unloaded = true;
        deleteLater();
    }
}
