#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

// Where a fixed layout went wrong, "" when it holds: every named control lies inside its parent,
// and no two named controls of one parent overlap by more than a pixel's edge (the designed
// twips of neighbouring labels may round into one shared row of pixels). A rule about the
// layout, not a copy of its numbers.
inline QString layoutFault(const QWidget* window) {
    const QList<QWidget*> controls = window->findChildren<QWidget*>();
    for (const QWidget* c : controls) {
        if (c->objectName().isEmpty() || !c->isVisibleTo(window) || !c->parentWidget()) continue;
        if (!c->parentWidget()->rect().contains(c->geometry()))
            return c->objectName() + QStringLiteral(" leaves its parent");
        for (const QWidget* d : controls) {
            if (d == c || d->parentWidget() != c->parentWidget() || d->objectName().isEmpty() ||
                !d->isVisibleTo(window))
                continue;
            const QRect both = c->geometry().intersected(d->geometry());
            if (both.width() > 1 && both.height() > 1)
                return c->objectName() + QStringLiteral(" overlaps ") + d->objectName();
        }
    }
    return {};
}
