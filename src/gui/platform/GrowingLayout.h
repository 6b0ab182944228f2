#pragma once

#include <QObject>
#include <QRect>
#include <QSize>
#include <vector>

class QWidget;

// The fixed places of a window that can be made larger: each control followed here keeps its
// place at the window's first size and takes a share of what the window has grown since, so
// the lists and boxes grow with the window while the other controls stay as they were drawn.
class GrowingLayout : public QObject {
  public:
    // Shares of the growth, from 0 to 1: of the window's extra width for `left` and `width`,
    // of its extra height for `top` and `height`. A control inside a frame takes its shares of
    // the window's growth too, so a frame and its contents are given alike.
    struct Share {
        double left = 0;
        double top = 0;
        double width = 0;
        double height = 0;
    };

    // Created once `window` has its first size and every control its place.
    explicit GrowingLayout(QWidget* window);

    void follow(QWidget* control, Share share);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Followed {
        QWidget* control;
        QRect first;
        Share share;
    };
    void place();

    QWidget* m_window;
    QSize m_first;
    std::vector<Followed> m_followed;
};
