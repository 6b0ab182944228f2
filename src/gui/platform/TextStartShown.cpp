#include "gui/platform/TextStartShown.h"

#include <QEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolTip>

TextStartShown::TextStartShown(QLineEdit* box) : QObject(box), m_box(box) {
    box->installEventFilter(this);
    // A text set while the user is elsewhere: its start, where setText leaves the end.
    connect(box, &QLineEdit::textChanged, this, [box] {
        if (!box->hasFocus()) box->setCursorPosition(0);
    });
}

bool TextStartShown::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_box) return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        m_box->setCursorPosition(0);
    } else if (event->type() == QEvent::ToolTip) {
        if (fits()) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), m_box->text(), m_box);
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}

bool TextStartShown::fits() const {
    // The room the style leaves for text inside the frame and its margins.
    QStyleOptionFrame option;
    option.initFrom(m_box);
    const QRect room = m_box->style()->subElementRect(QStyle::SE_LineEditContents, &option, m_box);
    const QMargins margins = m_box->textMargins();
    return m_box->fontMetrics().horizontalAdvance(m_box->text()) <=
           room.width() - margins.left() - margins.right() - 4;
}
