#include "gui/platform/ElidedCaption.h"

#include <QAbstractButton>
#include <QEvent>
#include <QFontMetrics>
#include <algorithm>

namespace {

QString Literal(QString text) { return text.replace(QLatin1Char('&'), QStringLiteral("&&")); }

}  // namespace

ElidedCaption::ElidedCaption(QAbstractButton* button)
    : QObject(button), m_button(button), m_whole(button->text()) {
    button->installEventFilter(this);
    show();
}

void ElidedCaption::setText(const QString& whole, qsizetype kept) {
    m_whole = whole;
    m_kept = std::min(kept, whole.size());
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
    // Measured in the font the button is drawn with, which polishing may still change.
    m_button->ensurePolished();
    const QFontMetrics metrics = m_button->fontMetrics();
    const QString whole = Literal(m_whole);
    m_button->setText(whole);
    // What the button needs beside its text (indicator, spacing, margins), as its style says.
    const int besides =
        m_button->sizeHint().width() - metrics.size(Qt::TextShowMnemonic, whole).width();
    const QString start = m_whole.left(m_kept);
    const int room = m_button->width() - besides - metrics.horizontalAdvance(start);
    const QString shown = start + metrics.elidedText(m_whole.mid(m_kept), Qt::ElideMiddle, room);
    if (shown != m_whole) m_button->setText(Literal(shown));
    m_button->setToolTip(shown == m_whole ? QString() : m_whole);
}
