#pragma once

#include <QStyledItemDelegate>

class QAbstractItemView;

// Items of a list that may be too narrow for their texts: a text that does not fit is cut in
// the middle with "…", so that both the start ("Var 3") and the end of a name show, and its
// tooltip gives it whole; a text shown whole has no tooltip. The items are as wide as the list,
// so the list scrolls only up and down.
class ElidingItemDelegate : public QStyledItemDelegate {
  public:
    // Makes `view`'s items show so; the delegate belongs to the view.
    static ElidingItemDelegate* install(QAbstractItemView* view);

    // Whether the item shows its whole text in `option.rect`.
    bool showsWhole(const QStyleOptionViewItem& option, const QModelIndex& index) const;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

  private:
    using QStyledItemDelegate::QStyledItemDelegate;
};
