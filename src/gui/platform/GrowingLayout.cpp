#include "gui/platform/GrowingLayout.h"

#include <QEvent>
#include <QWidget>
#include <algorithm>
#include <cmath>

GrowingLayout::GrowingLayout(QWidget* window)
    : QObject(window), m_window(window), m_first(window->size()) {
    window->installEventFilter(this);
}

void GrowingLayout::follow(QWidget* control, Share share) {
    m_followed.push_back({control, control->geometry(), share});
}

bool GrowingLayout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && event->type() == QEvent::Resize) place();
    return QObject::eventFilter(watched, event);
}

void GrowingLayout::place() {
    // Never below the first size: the window's minimum, which a window system may not honour.
    const int dx = std::max(0, m_window->width() - m_first.width());
    const int dy = std::max(0, m_window->height() - m_first.height());
    // Each share is rounded alone, so two controls given the same share move alike.
    auto part = [](double share, int growth) {
        return static_cast<int>(std::lround(share * growth));
    };
    for (const Followed& f : m_followed) {
        f.control->setGeometry(
            f.first.x() + part(f.share.left, dx), f.first.y() + part(f.share.top, dy),
            f.first.width() + part(f.share.width, dx), f.first.height() + part(f.share.height, dy));
    }
}
