#pragma once

#include <QObject>
#include <QString>

class QAbstractButton;

// The caption of a button (an option button, a tick box) that may be too long for its box: cut
// in the middle with "…" so that both ends show, the whole caption in the tooltip, and shown
// whole again once the box is wide enough. A "&" in the caption is shown, never a mnemonic.
class ElidedCaption : public QObject {
  public:
    explicit ElidedCaption(QAbstractButton* button);

    // The first `kept` characters (what the option is: "Group 1 (") are never cut.
    void setText(const QString& whole, qsizetype kept = 0);
    // The caption as given, whether or not it shows whole.
    const QString& text() const { return m_whole; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void show();

    QAbstractButton* m_button;
    QString m_whole;
    qsizetype m_kept = 0;
};
