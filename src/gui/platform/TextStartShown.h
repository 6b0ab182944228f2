#pragma once

#include <QObject>

class QLineEdit;

// A text box that may hold a text longer than itself (a group's label): it shows the start of
// its text, not the end, whenever the text is set from elsewhere and once the user has typed
// it and left the box; its tooltip gives a text too long for it whole.
class TextStartShown : public QObject {
  public:
    explicit TextStartShown(QLineEdit* box);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool fits() const;

    QLineEdit* m_box;
};
