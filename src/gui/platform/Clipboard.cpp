#include "gui/platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace Clipboard {

void clear() {
    if (QClipboard* c = QGuiApplication::clipboard()) c->clear();
}

void setText(const QString& text) {
    if (QClipboard* c = QGuiApplication::clipboard()) c->setText(text);
}

QString text() {
    const QClipboard* c = QGuiApplication::clipboard();
    return c ? c->text() : QString();
}

}  // namespace Clipboard
