#include "gui/platform/FieldColours.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QObject>
#include <QPalette>
#include <algorithm>
#include <cmath>

namespace FieldColours {

namespace {

// Below this ratio text is hard to read; the guidelines ask 4.5 of body text.
constexpr double kReadable = 4.5;

double channel(double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }

QPalette basePalette(const QLabel* label) {
    return label->parentWidget() != nullptr ? label->parentWidget()->palette()
                                            : QApplication::palette(label);
}

void apply(QLabel* label) {
    const Pair colours = pick(basePalette(label));
    QPalette p = label->palette();
    // Setting the palette sends a palette change again: stop once the colours are in.
    if (p.color(QPalette::Window) == colours.background &&
        p.color(QPalette::WindowText) == colours.text)
        return;
    p.setColor(QPalette::Window, colours.background);
    p.setColor(QPalette::WindowText, colours.text);
    label->setPalette(p);
}

// Picks the colours again when the theme changes while the program runs: the new palette
// reaches the field from its window.
class PaletteFollower : public QObject {
  public:
    explicit PaletteFollower(QLabel* label) : QObject(label), m_label(label) {
        label->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_label && (event->type() == QEvent::PaletteChange ||
                                   event->type() == QEvent::ApplicationPaletteChange))
            apply(m_label);
        return false;
    }

  private:
    QLabel* m_label;
};

}  // namespace

double luminance(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) +
           0.0722 * channel(rgb.blueF());
}

double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Pair pick(const QPalette& palette) {
    const QColor background = palette.color(QPalette::Active, QPalette::Base);
    const QColor text = palette.color(QPalette::Active, QPalette::Text);
    if (contrast(background, text) >= kReadable) return {background, text};
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return {background, contrast(background, black) >= contrast(background, white) ? black : white};
}

void makeField(QLabel* label) {
    label->setTextFormat(Qt::PlainText);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(1);
    label->setAutoFillBackground(true);
    apply(label);
    new PaletteFollower(label);
}

}  // namespace FieldColours
