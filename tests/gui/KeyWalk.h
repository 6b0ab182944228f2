#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QList>
#include <QSignalSpy>
#include <QStringList>
#include <QTest>
#include <QWidget>
#include <memory>

// The controls the keyboard focus visits from `start` on `steps` presses of Tab (or Shift+Tab),
// sent as real key events to whichever control holds the focus, as a user's keys are.
inline QStringList tabWalk(QWidget* start, int steps, bool backward = false) {
    start->setFocus(Qt::OtherFocusReason);
    QStringList visited;
    for (int i = 0; i < steps; ++i) {
        QWidget* at = QApplication::focusWidget();
        if (at == nullptr) break;
        QTest::keyClick(at, backward ? Qt::Key_Backtab : Qt::Key_Tab,
                        backward ? Qt::ShiftModifier : Qt::NoModifier);
        QWidget* now = QApplication::focusWidget();
        visited << (now != nullptr ? now->objectName() : QStringLiteral("(none)"));
    }
    return visited;
}

// Space presses the focused button; Enter and Escape press none of the window's buttons.
// Returns "" when that holds, else what went wrong. `press` must be a harmless button to press.
inline QString spaceOnlyPresses(QWidget* window, QAbstractButton* press) {
    QList<std::shared_ptr<QSignalSpy>> spies;
    const auto buttons = window->findChildren<QAbstractButton*>();
    for (QAbstractButton* b : buttons)
        spies << std::make_shared<QSignalSpy>(b, &QAbstractButton::clicked);
    press->setFocus(Qt::TabFocusReason);
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) QTest::keyClick(press, key);
    for (int i = 0; i < buttons.size(); ++i)
        if (spies[i]->count() != 0) return buttons[i]->objectName() + " pressed by Enter or Escape";
    if (!window->isVisible()) return QStringLiteral("Enter or Escape closed the window");
    QTest::keyClick(press, Qt::Key_Space);
    for (int i = 0; i < buttons.size(); ++i) {
        const int expected = buttons[i] == press ? 1 : 0;
        if (spies[i]->count() != expected)
            return buttons[i]->objectName() +
                   QStringLiteral(" pressed %1 times by Space").arg(spies[i]->count());
    }
    return QString();
}
