#pragma once

#include <QDialog>
#include <QString>

class QCloseEvent;
class QKeyEvent;

// The program's fixed windows: Escape presses no button (nor, where asked, does Enter; where asked
// it closes the window as its close box does), and where asked the close box unloads the window: it
// is marked unloaded and deleted once control is back in the event loop, while its own buttons only
// hide it.
class FixedDialog : public QDialog {
  public:
    enum class Keys { NoEscape, NoEscapeNoEnter, EscapeCloses };
    enum class CloseBox { Closes, Unloads };

    // True once the window has been closed from its title bar with CloseBox::Unloads.
    bool isUnloaded() const { return m_unloaded; }

  protected:
    FixedDialog(const QString& objectName, const QString& title, QWidget* parent, Keys keys,
                CloseBox closeBox);

    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    Keys m_keys;
    CloseBox m_closeBox;
    bool m_unloaded = false;
};
