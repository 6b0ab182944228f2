#pragma once

#include <QFrame>
#include <chrono>

class QLabel;

// The title window shown while the program starts. A key that produces a character, or a click
// on the frame itself (not on a label), dismisses it early; the start-up wait goes on anyway.
class frmSplash : public QFrame {
    Q_OBJECT
  public:
    explicit frmSplash(QWidget* parent = nullptr);

    // Creates and shows the splash, lets window events run until `wait` has passed, then
    // destroys the splash unless the user already has.
    static void runStartup(std::chrono::milliseconds wait);

    QFrame* Frame1 = nullptr;
    QLabel* lblProductName = nullptr;
    QLabel* lblName2 = nullptr;
    QLabel* lblCopyright = nullptr;
    QLabel* lblCompany = nullptr;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void dismiss();
};
