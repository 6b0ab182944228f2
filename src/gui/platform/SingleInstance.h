#pragma once

#include <QPointer>

// The single instance of a window T (a FixedDialog whose close box unloads it): made on first
// use, kept while it is only hidden, released once closed from its title bar.
template <class T>
class SingleInstance {
  public:
    // The instance, made by `make()` when there is none or the last one was unloaded.
    template <class Make>
    T* get(Make&& make) {
        releaseUnloaded();
        if (!m_window) m_window = make();
        return m_window;
    }
    // The instance if one exists, else null.
    T* existing() const { return m_window.data(); }
    // Shows the instance modally; returns once it has hidden itself or been closed, in which
    // case it is released at once.
    template <class Make>
    void showModal(Make&& make) {
        get(make)->exec();
        releaseUnloaded();
    }
    void discard() { delete m_window.data(); }

  private:
    // A window closed from its title bar is released even before its deferred deletion ran.
    void releaseUnloaded() {
        if (m_window && m_window->isUnloaded()) delete m_window.data();
    }

    QPointer<T> m_window;
};
