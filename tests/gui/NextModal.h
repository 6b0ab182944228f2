#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>
#include <utility>

// Runs `step` inside the modal loop of the next window of type T to come up, as Qt's own tests
// do: a short repeating timer polls QApplication::activeModalWidget() until it is there. The step
// ends the showing by hiding or closing the window.
template <class T = QDialog, class Step>
void WhenModalUp(Step step) {
    auto* timer = new QTimer(qApp);
    timer->setObjectName(QStringLiteral("WhenModalUp"));
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, step = std::move(step)]() mutable {
        auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
        if (window == nullptr || !window->isVisible()) return;
        timer->stop();
        Step run = std::move(step);
        timer->deleteLater();
        run(*window);
    });
    timer->start();
}

// Drops the steps whose window never came up.
inline void DropModalSteps() {
    for (QTimer* t : qApp->findChildren<QTimer*>(QStringLiteral("WhenModalUp"))) delete t;
}
