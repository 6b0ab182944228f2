#pragma once

#include <QCursor>
#include <QPointer>
#include <QWidget>

// The busy pointer over one window while an analysis runs; the pointer the window had comes
// back however the analysis ends.
class BusyPointer {
  public:
    explicit BusyPointer(QWidget* window);
    ~BusyPointer();
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

  private:
    QPointer<QWidget> m_window;
    bool m_hadOwnCursor;
    QCursor m_previous;
};
