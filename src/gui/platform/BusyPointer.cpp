#include "gui/platform/BusyPointer.h"

BusyPointer::BusyPointer(QWidget* window)
    : m_window(window),
      m_hadOwnCursor(window->testAttribute(Qt::WA_SetCursor)),
      m_previous(window->cursor()) {
    window->setCursor(Qt::WaitCursor);
}

BusyPointer::~BusyPointer() {
    if (!m_window) return;
    if (m_hadOwnCursor)
        m_window->setCursor(m_previous);
    else
        m_window->unsetCursor();
}
