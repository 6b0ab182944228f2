#include "gui/platform/ElidedCaption.h"

#include <QAbstractButton>
#include <QEvent>
#include <QFontMetrics>

namespace {

QString Literal(QString text) { return text.replace(QLatin1Char('&'), QStringLiteral("&&")); }

}  // namespace

ElidedCaption::ElidedCaption(QAbstractButton* button)
    : QObject(button), m_button(button), m_whole(button->text()) {
    button->installEventFilter(this);
    show();
}

void ElidedCaption::setText(const QString& whole) {
    m_whole = whole;
    show();
}

bool ElidedCaption::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == m_button &&
        (type == QEvent::Resize || type == QEvent::FontChange || type == QEvent::StyleChange)) {
        show();
    }
    return QObject::eventFilter(watched, event);
}

void ElidedCaption::show() {
    const QFontMetrics metrics(m_button->font());
    const QString whole = Literal(m_whole);
    m_button->setText(whole);
    // What the button needs beside its text (indicator, spacing, margins), as its style says.
    const int besides =
        m_button->sizeHint().width() - metrics.size(Qt::TextShowMnemonic, whole).width();
    const QString shown = metrics.elidedText(m_whole, Qt::ElideMiddle, m_button->width() - besides);
    if (shown != m_whole) m_button->setText(Literal(shown));
    m_button->setToolTip(shown == m_whole ? QString() : m_whole);
}
