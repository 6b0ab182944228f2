#include "gui/analysis/GroupValuesButton.h"

#include <QFontMetrics>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QShortcut>
#include <QToolButton>

#include "gui/platform/FixedLayout.h"
#include "gui/platform/StringConversions.h"

namespace {

// Labels up to this many average characters show whole in the list.
constexpr int kShownCharacters = 40;

QString CountText(std::int64_t count) {
    return count == 1 ? QStringLiteral("1 case") : QStringLiteral("%1 cases").arg(count);
}

}  // namespace

QToolButton* MakeGroupValuesButton(QWidget* parent, const char* name, QLineEdit* box, int left,
                                   int top) {
    auto* button = MakeControl<QToolButton>(parent, name, left, top, 240, 285);
    button->setArrowType(Qt::DownArrow);
    // The arrow says it all; the small second arrow a button with a menu gets is left off.
    button->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0; }"));
    button->setPopupMode(QToolButton::InstantPopup);
    // It takes no focus, so the tab order stays as it was; Alt+Down or F4 in the box opens it
    // instead, as in a combo box.
    button->setFocusPolicy(Qt::NoFocus);
    auto* menu = new QMenu(button);
    menu->setToolTipsVisible(true);
    button->setMenu(menu);
    button->setEnabled(false);
    for (const QKeySequence& keys :
         {QKeySequence(Qt::ALT | Qt::Key_Down), QKeySequence(Qt::Key_F4)}) {
        QObject::connect(new QShortcut(keys, box, nullptr, nullptr, Qt::WidgetShortcut),
                         &QShortcut::activated, button, [button] {
                             if (button->isEnabled()) button->showMenu();
                         });
    }
    return button;
}

void OfferGroupValues(QToolButton* button, QLineEdit* box,
                      const std::optional<std::vector<GroupValue>>& values) {
    QMenu* menu = button->menu();
    menu->clear();
    button->setEnabled(values && !values->empty());
    if (!values) return;
    const QFontMetrics metrics(menu->font());
    const int room = metrics.averageCharWidth() * kShownCharacters;
    for (const GroupValue& value : *values) {
        const QString whole = FromCore(value.shown);
        const QString shown = metrics.elidedText(whole, Qt::ElideMiddle, room);
        // A "&" in a label is shown, never taken for a shortcut key.
        QAction* pick =
            menu->addAction(QString(shown).replace(QLatin1Char('&'), QStringLiteral("&&")) +
                            QStringLiteral(": ") + CountText(value.count));
        if (shown != whole) pick->setToolTip(whole);
        QObject::connect(pick, &QAction::triggered, box, [box, text = FromCore(value.text)] {
            box->setText(text);
            box->setCursorPosition(0);  // the start of a long label, not its end
        });
    }
}
