#include "gui/platform/ElidingItemDelegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QStyle>
#include <QToolTip>

ElidingItemDelegate* ElidingItemDelegate::install(QAbstractItemView* view) {
    auto* delegate = new ElidingItemDelegate(view);
    view->setItemDelegate(delegate);
    view->setTextElideMode(Qt::ElideMiddle);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return delegate;
}

bool ElidingItemDelegate::showsWhole(const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const {
    // The size the style asks for the whole text beside the tick box and margins; not sizeHint,
    // which a list of one size for all items answers with that size.
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QStyle* style = item.widget != nullptr ? item.widget->style() : QApplication::style();
    const QSize whole =
        style->sizeFromContents(QStyle::CT_ItemViewItem, &item, QSize(), item.widget);
    return whole.width() <= option.rect.width();
}

bool ElidingItemDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                    const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event == nullptr || event->type() != QEvent::ToolTip || !index.isValid()) {
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    }
    if (showsWhole(option, index)) {
        QToolTip::hideText();
    } else {
        QToolTip::showText(event->globalPos(), index.data(Qt::DisplayRole).toString(), view,
                           option.rect);
    }
    return true;
}
